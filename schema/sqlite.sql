-- KV Quillon station database, SQLite.
--
-- Date-times have no type of their own in SQLite: they are stored as text in
-- the one layout "yyyy-MM-dd HH:mm:ss.zzz" (local or UTC wall-clock time), so
-- that text comparison orders them like the times. Flags hold "Y" for true.
-- Every statement is idempotent: running the file twice changes nothing.

-- Stations.
CREATE TABLE IF NOT EXISTS KV_SITES (
  STATION_ID            TEXT NOT NULL PRIMARY KEY,
  ENABLED               TEXT,
  SITE_TYPE             INTEGER,
  UNIT_ID               TEXT,
  SATELLITE_ID          TEXT,
  IPADDRESS             TEXT,
  SETUP_FILE_NAME       TEXT,
  POLL_TYPE             INTEGER,
  CONCENTRATOR          TEXT,
  LAST_POLL             TEXT,
  HOURS_AHEAD           REAL,
  COMPORT_LIST          TEXT,
  RADIO_PATH_LIST       TEXT,
  ACKDELAY_LIST         TEXT,
  RESPONSE_TIMEOUT_LIST TEXT,
  AUTO_PROTOCOL         TEXT,
  QUICK_PROTOCOL        TEXT,
  USER_NAME             TEXT,
  PASSWORD              TEXT,
  PHONE_NUMBER_LIST     TEXT,
  MODEM_INIT_STRING     TEXT,
  MODEM_HANGUP_STRING   TEXT,
  RDI_BASE_TIME         TEXT,
  RDI_INTERVAL          TEXT,
  RDI_STAYON            TEXT,
  SITE_COMMENT          TEXT,
  SHEF_ID               TEXT,
  USGS_ID               TEXT,
  SITE_CODE             TEXT,
  STATUS                INTEGER,
  PICTURE_FILE_NAME     TEXT,
  INSTALLATION_DATE     TEXT,
  LAST_UPDATE           TEXT,
  SITE_LONG_NAME        TEXT,
  WEIGHTING_FACTOR      REAL,
  ALTERNATE_CHAR_ID_1   TEXT,
  ALTERNATE_CHAR_ID_2   TEXT,
  GPNUMBER1             REAL,
  GPNUMBER2             REAL,
  GPSTRING1             TEXT,
  GPSTRING2             TEXT,
  COEFFICIENT1          REAL,
  COEFFICIENT2          REAL,
  COEFFICIENT3          REAL,
  LATITUDE              REAL,
  LONGITUDE             REAL,
  ELEVATION             REAL,
  AGENCY                TEXT,
  COUNTRY               TEXT,
  STATE                 TEXT,
  COUNTY                TEXT,
  DISTRICT              TEXT,
  CITY                  TEXT,
  BASIN                 TEXT,
  RESERVOIR             TEXT,
  RIVER_MILE            REAL,
  PRIMARY_CHANNEL       INTEGER,
  RANDOM_CHANNEL        INTEGER,
  REPORTING_INTERVAL    REAL,     -- hours
  REPORTING_TIME        TEXT,     -- date-time whose time of day is the offset
  GMT_OFFSET            TEXT,
  TZONE_CODE            TEXT
);

-- Sensors of the stations.
CREATE TABLE IF NOT EXISTS KV_SITESENSORS (
  STE_STATION_ID        TEXT NOT NULL,
  SENSORNAME            TEXT NOT NULL,
  TAGNAME               TEXT,
  ENABLED               TEXT,
  IS_TEXT               TEXT,
  ALERT_ID              TEXT,
  ALERT_TYPE            TEXT,
  EQUATION              TEXT,
  RAW                   TEXT,
  RIGHT_DIGIT           INTEGER,
  LEFT_DIGIT            INTEGER,
  ROUNDOFF_TIME         TEXT,
  DATA_STORE_INTERVAL   TEXT,
  PARAMETER_CODE        TEXT,
  SHEF_PE_CODE          TEXT,
  UNITS                 TEXT,
  STATUS                INTEGER,
  MODEL_NUMBER          TEXT,
  MANUFACTURER          TEXT,
  REFERENCE_1           REAL,
  REFERENCE_2           REAL,
  DESCRIPTION           TEXT,
  HIGH_HIGH_ALARM       INTEGER,
  HIGH_ALARM            INTEGER,
  LOW_ALARM             INTEGER,
  LOW_LOW_ALARM         INTEGER,
  HIGH_HIGH_LIMIT       REAL,
  HIGH_LIMIT            REAL,
  LOW_LIMIT             REAL,
  LOW_LOW_LIMIT         REAL,
  TEXT_ALARM            INTEGER,
  ROC_ALARM             INTEGER,
  ROC_LIMIT             REAL,
  ROC_INTERVAL          INTEGER,  -- seconds
  NO_CHANGE_ALARM       INTEGER,
  NO_CHANGE_INTERVAL    REAL,     -- days
  DEADBAND              REAL,
  STD_DEV_ALARM         INTEGER,
  STD_DEV_LIMIT         REAL,
  STD_DEV_INTERVAL      INTEGER,  -- seconds
  AVG_ALARM             INTEGER,
  AVG_LIMIT             REAL,
  AVG_INTERVAL          REAL,     -- days
  COEFFICIENT1          REAL,
  COEFFICIENT2          REAL,
  COEFFICIENT3          REAL,
  COEFFICIENT4          REAL,
  COEFFICIENT5          REAL,
  RATING_TABLE          TEXT,
  SHIFT                 REAL,
  "OFFSET"              REAL,
  ALT_PARAMETER_CODE_1  TEXT,
  ALT_PARAMETER_CODE_2  TEXT,
  GPNUMBER1             REAL,
  GPNUMBER2             REAL,
  GPSTRING1             TEXT,
  GPSTRING2             TEXT,
  SITE_DATATYPE_ID      TEXT,
  WW_TAGKEY             TEXT,
  PRIMARY KEY (STE_STATION_ID, SENSORNAME)
);

-- Message decoding schemes of a sensor, numbered from 0 per message source.
CREATE TABLE IF NOT EXISTS KV_SITESENSORSDECODE (
  TOPIC                 TEXT NOT NULL,
  STATION               TEXT NOT NULL,
  SENSOR                TEXT NOT NULL,
  SEQNUM                INTEGER NOT NULL,
  ENABLED               TEXT,
  FORMAT                TEXT,
  AMOUNT                INTEGER,
  BOUND1                INTEGER,
  BOUND2                INTEGER,
  BLOCK_ID              TEXT,
  IGNORE_CASE           TEXT,
  BYTE_SIZE             INTEGER,
  BYTE_POS              INTEGER,
  NEXT                  INTEGER,
  BIT_SIZE              INTEGER,
  BIT_POS               INTEGER,
  BIT_NEXT              INTEGER,
  DELTA_TIME            INTEGER,  -- signed seconds
  OFFSET_TIME           TEXT,
  ROUNDOFF_TIME         TEXT,
  SKIP_BLANK            INTEGER,
  SKIP_COMMA            INTEGER,
  SKIP_LF               INTEGER,
  ADD_BASE              TEXT,
  RELATIVE_TIME         TEXT,
  RELATIVE_POS          TEXT,
  PRIMARY KEY (TOPIC, STATION, SENSOR, SEQNUM)
);

-- Logging records of a station's RTU, with the sensors in log order.
CREATE TABLE IF NOT EXISTS KV_RECORDIDS (
  STE_STATION_ID        TEXT NOT NULL,
  RECORD_ID             TEXT NOT NULL,
  SENSORS               TEXT,
  PRIMARY KEY (STE_STATION_ID, RECORD_ID)
);

-- Sensor values. Clustered by the key, so that one sensor's range is read
-- in one sweep.
CREATE TABLE IF NOT EXISTS KV_DATA1 (
  STATION_ID            TEXT NOT NULL,
  SENSORNAME            TEXT NOT NULL,
  TIME_TAG              TEXT NOT NULL,
  SOURCE                TEXT,
  ORIG_VALUE            REAL,
  ED_VALUE              REAL,
  FLAG1                 TEXT,
  FLAG2                 TEXT,
  FLAG3                 TEXT,
  FLAG4                 TEXT,
  HIGH_HIGH_FLAG        INTEGER DEFAULT 0,
  HIGH_FLAG             INTEGER DEFAULT 0,
  LOW_FLAG              INTEGER DEFAULT 0,
  LOW_LOW_FLAG          INTEGER DEFAULT 0,
  ROC_FLAG              INTEGER DEFAULT 0,
  NO_CHG_FLAG           INTEGER DEFAULT 0,
  PRIMARY KEY (STATION_ID, SENSORNAME, TIME_TAG)
) WITHOUT ROWID;

-- Post-processed values, one series per data label.
CREATE TABLE IF NOT EXISTS KV_PPDATA1 (
  STATION_ID            TEXT NOT NULL,
  SENSORNAME            TEXT NOT NULL,
  DATA_LABEL            TEXT NOT NULL,
  TIME_TAG              TEXT NOT NULL,
  PP_VALUE              REAL,
  PRIMARY KEY (STATION_ID, SENSORNAME, DATA_LABEL, TIME_TAG)
) WITHOUT ROWID;

-- The post-processed series that exist.
CREATE TABLE IF NOT EXISTS KV_PPLIST (
  STATION_ID            TEXT NOT NULL,
  SENSORNAME            TEXT NOT NULL,
  DATA_LABEL            TEXT NOT NULL,
  PRIMARY KEY (STATION_ID, SENSORNAME, DATA_LABEL)
);
