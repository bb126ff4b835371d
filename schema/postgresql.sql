-- KV Quillon station database, PostgreSQL.
--
-- Date-times are `timestamp` (without a zone: local or UTC wall-clock time as
-- the program wrote it). Flags hold "Y" for true. Names are left unquoted and
-- so fold to lower case; OFFSET is a reserved word and is quoted in the folded
-- form. Every statement is idempotent: running the file twice changes nothing.

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
  LAST_POLL             TIMESTAMP,
  HOURS_AHEAD           DOUBLE PRECISION,
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
  RDI_BASE_TIME         TIMESTAMP,
  RDI_INTERVAL          TIMESTAMP,
  RDI_STAYON            TIMESTAMP,
  SITE_COMMENT          TEXT,
  SHEF_ID               TEXT,
  USGS_ID               TEXT,
  SITE_CODE             TEXT,
  STATUS                INTEGER,
  PICTURE_FILE_NAME     TEXT,
  INSTALLATION_DATE     TIMESTAMP,
  LAST_UPDATE           TIMESTAMP,
  SITE_LONG_NAME        TEXT,
  WEIGHTING_FACTOR      DOUBLE PRECISION,
  ALTERNATE_CHAR_ID_1   TEXT,
  ALTERNATE_CHAR_ID_2   TEXT,
  GPNUMBER1             DOUBLE PRECISION,
  GPNUMBER2             DOUBLE PRECISION,
  GPSTRING1             TEXT,
  GPSTRING2             TEXT,
  COEFFICIENT1          DOUBLE PRECISION,
  COEFFICIENT2          DOUBLE PRECISION,
  COEFFICIENT3          DOUBLE PRECISION,
  LATITUDE              DOUBLE PRECISION,
  LONGITUDE             DOUBLE PRECISION,
  ELEVATION             DOUBLE PRECISION,
  AGENCY                TEXT,
  COUNTRY               TEXT,
  STATE                 TEXT,
  COUNTY                TEXT,
  DISTRICT              TEXT,
  CITY                  TEXT,
  BASIN                 TEXT,
  RESERVOIR             TEXT,
  RIVER_MILE            DOUBLE PRECISION,
  PRIMARY_CHANNEL       INTEGER,
  RANDOM_CHANNEL        INTEGER,
  REPORTING_INTERVAL    DOUBLE PRECISION,     -- hours
  REPORTING_TIME        TIMESTAMP,     -- date-time whose time of day is the offset
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
  ROUNDOFF_TIME         TIMESTAMP,
  DATA_STORE_INTERVAL   TIMESTAMP,
  PARAMETER_CODE        TEXT,
  SHEF_PE_CODE          TEXT,
  UNITS                 TEXT,
  STATUS                INTEGER,
  MODEL_NUMBER          TEXT,
  MANUFACTURER          TEXT,
  REFERENCE_1           DOUBLE PRECISION,
  REFERENCE_2           DOUBLE PRECISION,
  DESCRIPTION           TEXT,
  HIGH_HIGH_ALARM       INTEGER,
  HIGH_ALARM            INTEGER,
  LOW_ALARM             INTEGER,
  LOW_LOW_ALARM         INTEGER,
  HIGH_HIGH_LIMIT       DOUBLE PRECISION,
  HIGH_LIMIT            DOUBLE PRECISION,
  LOW_LIMIT             DOUBLE PRECISION,
  LOW_LOW_LIMIT         DOUBLE PRECISION,
  TEXT_ALARM            INTEGER,
  ROC_ALARM             INTEGER,
  ROC_LIMIT             DOUBLE PRECISION,
  ROC_INTERVAL          INTEGER,  -- seconds
  NO_CHANGE_ALARM       INTEGER,
  NO_CHANGE_INTERVAL    DOUBLE PRECISION,     -- days
  DEADBAND              DOUBLE PRECISION,
  STD_DEV_ALARM         INTEGER,
  STD_DEV_LIMIT         DOUBLE PRECISION,
  STD_DEV_INTERVAL      INTEGER,  -- seconds
  AVG_ALARM             INTEGER,
  AVG_LIMIT             DOUBLE PRECISION,
  AVG_INTERVAL          DOUBLE PRECISION,     -- days
  COEFFICIENT1          DOUBLE PRECISION,
  COEFFICIENT2          DOUBLE PRECISION,
  COEFFICIENT3          DOUBLE PRECISION,
  COEFFICIENT4          DOUBLE PRECISION,
  COEFFICIENT5          DOUBLE PRECISION,
  RATING_TABLE          TEXT,
  SHIFT                 DOUBLE PRECISION,
  "offset"              DOUBLE PRECISION,
  ALT_PARAMETER_CODE_1  TEXT,
  ALT_PARAMETER_CODE_2  TEXT,
  GPNUMBER1             DOUBLE PRECISION,
  GPNUMBER2             DOUBLE PRECISION,
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
  OFFSET_TIME           TIMESTAMP,
  ROUNDOFF_TIME         TIMESTAMP,
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

-- Sensor values.
CREATE TABLE IF NOT EXISTS KV_DATA1 (
  STATION_ID            TEXT NOT NULL,
  SENSORNAME            TEXT NOT NULL,
  TIME_TAG              TIMESTAMP NOT NULL,
  SOURCE                TEXT,
  ORIG_VALUE            DOUBLE PRECISION,
  ED_VALUE              DOUBLE PRECISION,
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
);

-- Post-processed values, one series per data label.
CREATE TABLE IF NOT EXISTS KV_PPDATA1 (
  STATION_ID            TEXT NOT NULL,
  SENSORNAME            TEXT NOT NULL,
  DATA_LABEL            TEXT NOT NULL,
  TIME_TAG              TIMESTAMP NOT NULL,
  PP_VALUE              DOUBLE PRECISION,
  PRIMARY KEY (STATION_ID, SENSORNAME, DATA_LABEL, TIME_TAG)
);

-- The post-processed series that exist.
CREATE TABLE IF NOT EXISTS KV_PPLIST (
  STATION_ID            TEXT NOT NULL,
  SENSORNAME            TEXT NOT NULL,
  DATA_LABEL            TEXT NOT NULL,
  PRIMARY KEY (STATION_ID, SENSORNAME, DATA_LABEL)
);

-- Import into HDB and INSQL databases goes through these two functions.

-- Inserts one value, or updates SOURCE and ED_VALUE of the row already stored
-- at that time (its ORIG_VALUE stays).
CREATE OR REPLACE FUNCTION KV_INSERT_OR_UPDATE_DATA_ONLY(
    IN_STATION_ID TEXT, IN_SENSORNAME TEXT, IN_TIME_TAG TIMESTAMP, IN_SOURCE TEXT,
    IN_ORIG_VALUE DOUBLE PRECISION, IN_ED_VALUE DOUBLE PRECISION)
RETURNS void LANGUAGE sql AS $$
  INSERT INTO KV_DATA1 (STATION_ID, SENSORNAME, TIME_TAG, SOURCE, ORIG_VALUE, ED_VALUE)
  VALUES (IN_STATION_ID, IN_SENSORNAME, IN_TIME_TAG, IN_SOURCE, IN_ORIG_VALUE, IN_ED_VALUE)
  ON CONFLICT (STATION_ID, SENSORNAME, TIME_TAG)
  DO UPDATE SET SOURCE = EXCLUDED.SOURCE, ED_VALUE = EXCLUDED.ED_VALUE;
$$;

-- Moves a station's LAST_UPDATE forward to IN_LAST_UPDATE (or fills it when
-- empty); an earlier time changes nothing.
CREATE OR REPLACE FUNCTION KV_UPDATE_LAST_UPDATE(IN_LAST_UPDATE TIMESTAMP, IN_STATION_ID TEXT)
RETURNS void LANGUAGE sql AS $$
  UPDATE KV_SITES SET LAST_UPDATE = IN_LAST_UPDATE
  WHERE STATION_ID = IN_STATION_ID AND (LAST_UPDATE < IN_LAST_UPDATE OR LAST_UPDATE IS NULL);
$$;
