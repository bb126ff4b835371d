#!/usr/bin/env bash
# End-to-end checks of the kvq command-line tool: exit codes and outputs of
# its commands on a scratch folder. Usage: kvq_test.sh path/to/kvq
set -u
kvq=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
failures=0

check() {  # name expected actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1"
    echo "  expected: $2"
    echo "  actual:   $3"
    failures=$((failures + 1))
  fi
}

now='03/09/2009 12:00:00'
check "time keyword" "03/09/2009 00:00:00" "$("$kvq" time TODAY --now "$now")"
check "time offset" "03/08/2009 10:30:00" "$("$kvq" time "NOW-0/1/0 1:30" --now "$now")"
check "time month offset" "02/09/2009 12:00:00" "$("$kvq" time "NOW-1/0" --now "$now")"
"$kvq" time TODAY --now "garbage" >/dev/null 2>&1
check "bad --now is a usage error" 2 $?
"$kvq" nosuchcommand >/dev/null 2>&1
check "unknown command" 2 $?

d=$work/files
mkdir -p "$d"
"$kvq" cmd -d "$d" 'CREATE,RIVER1,"RIVER1",03/07/2009,00:00:00,00:15:00,No,RIVER1.STAGE,2,RIVER1.RAIN,1' >/dev/null 2>&1
check "create" 0 $?
"$kvq" put -d "$d" "POINT,RIVER1.STAGE,03/07/2009 00:30:00" 1.25 2>/dev/null
check "put" 0 $?
"$kvq" put -d "$d" "POINT,NOPE.X,03/07/2009 00:30:00" 1 2>/dev/null
check "put to an unknown sensor fails" 1 $?
check "point" "1.25" "$("$kvq" cmd -d "$d" "POINT,RIVER1.STAGE,03/07/2009 00:35:00" 2>/dev/null)"
check "raw as hex" "00000000ffffffffffffffff" "$("$kvq" cmd -d "$d" "RAW,RIVER1,03/07/2009 00:00:00,03/07/2009 00:00:00" 2>/dev/null)"
check "not available" "N/A" "$("$kvq" cmd -d "$d" "POINT,NOPE.X,TODAY" 2>/dev/null)"
"$kvq" cmd -d "$d" "FILES" "PEEK,X" >/dev/null 2>&1
check "a failed command makes exit 1" 1 $?
"$kvq" cmd -d "$work/none" FILES >/dev/null 2>&1
check "missing folder" 2 $?

# --follow pulls a whole range in 4096-byte raw replies: the file now holds
# 1200 records of 8 bytes up to a value stored 12.5 days after its start
"$kvq" put -d "$d" "POINT,RIVER1.STAGE,03/19/2009 11:45:00" 7 2>/dev/null
rm -f "$work/raw"
"$kvq" cmd -d "$d" --follow --raw-file "$work/raw" "RAW,RIVER1,03/07/2009 00:00:00,03/19/2009 11:45:00" 2>/dev/null
check "follow exit" 0 $?
check "follow delivers every record once" $((1200 * 8)) "$(stat -c %s "$work/raw")"

demo=$work/demo
"$kvq" demo "$demo" --now "$now" >/dev/null 2>&1
check "demo" 0 $?
check "demo files" "HILLTOP.DAT LAKEVIEW.DAT MILLBROOK.DAT demo.sqlite" "$(cd "$demo" && ls | tr '\n' ' ' | sed 's/ $//')"
check "settings list both sources" 2 "$(grep -cE '^DataSourceID[0-9]+=' "$XDG_CONFIG_HOME/KVQuillon/KVQuillon.KFG")"
"$kvq" demo "$demo" --now "$now" >/dev/null 2>&1
check "demo twice lists them once" 2 "$(grep -cE '^DataSourceID[0-9]+=' "$XDG_CONFIG_HOME/KVQuillon/KVQuillon.KFG")"

lines=$("$kvq" values -d "$demo" --from "03/09/2009 00:00:00" --to "03/09/2009 01:00:00" LAKEVIEW.ELEV 2>/dev/null)
check "values: one line an hour" 2 "$(echo "$lines" | wc -l)"
check "values: first line" "03/09/2009 00:00:00,LAKEVIEW.ELEV," "$(echo "$lines" | head -1 | cut -d, -f1-2),"
stats=$("$kvq" stats -d "$demo" --from "03/09/2009 00:00:00" --to "03/09/2009 01:00:00" --interval 3600 MILLBROOK.STAGE 2>/dev/null)
check "stats: 13 columns" 13 "$(echo "$stats" | head -1 | awk -F, '{print NF}')"
check "stats: count of the first hour" 4 "$(echo "$stats" | head -1 | cut -d, -f3)"
dbstats=$("$kvq" stats --alias DEMO --from "03/08/2009 00:00:00" --to "03/09/2009 00:00:00" --interval 86400 KSL010.STAGE 2>/dev/null)
check "stats from the database" "03/08/2009 00:00:00,KSL010.STAGE" "$(echo "$dbstats" | head -1 | cut -d, -f1-2)"
"$kvq" values -d "$demo" --from "NOW" --to "NOW-1:00" LAKEVIEW.ELEV >/dev/null 2>&1
check "values: start after end" 2 $?
KVQ_PASSWORD=wrong "$kvq" values --alias NOSUCHALIAS --from TODAY --to NOW X.Y >/dev/null 2>&1
check "values: unknown alias fails" 1 $?

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all kvq checks passed"
