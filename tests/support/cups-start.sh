#!/usr/bin/env bash
# Starts a CUPS scheduler of its own for the real print path of the tests: a
# cups-pdf queue "StationPDF" as its default printer, PDFs written where
# /etc/cups/cups-pdf.conf says (the job owner's ~/PDF by default).
#
#   tests/support/cups-start.sh DIR     start; DIR must be empty or missing
#   export CUPS_SERVER=DIR/cups.sock    point the tests (libcups, Qt) at it
#   tests/support/cups-stop.sh DIR      stop it again
#
# The scheduler keeps everything (configuration, spool, logs, its socket) under
# DIR, so a system CUPS and its printers are left alone. It installs nothing: the
# packages cups and printer-driver-cups-pdf must be there (./vexo installs them).
# The cups-pdf backend runs only as root, so this needs root or password-less sudo.
set -euo pipefail

dir=${1:?usage: cups-start.sh DIR}
if [ "$(id -u)" -ne 0 ]; then
    exec sudo -n -- "$0" "$@"
fi
for tool in cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null || { echo "cups-start: $tool missing (package cups)" >&2; exit 1; }
done
[ -x /usr/lib/cups/backend/cups-pdf ] || { echo "cups-start: printer-driver-cups-pdf missing" >&2; exit 1; }

mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
if [ -e "$dir/cupsd.pid" ]; then
    echo "cups-start: $dir already has a scheduler (cupsd.pid)" >&2
    exit 1
fi
# The filters run as lp: they must reach the spool through these folders.
chmod 0755 "$dir"
install -d -m 0755 -g lp "$dir/etc" "$dir/etc/ppd" "$dir/state"
install -d -m 0710 -g lp "$dir/spool"
install -d -m 1770 -g lp "$dir/spool/tmp"
install -d -m 0770 -g lp "$dir/cache"
install -d -m 0755 "$dir/log"

cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
User lp
Group lp
SystemGroup root
EOF
cat >"$dir/etc/cupsd.conf" <<EOF
Listen $dir/cups.sock
LogLevel warn
Browsing No
WebInterface No
# A job the backend fails is dropped, the queue stays up for the next test.
ErrorPolicy abort-job
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
chmod 0644 "$dir/etc/cups-files.conf" "$dir/etc/cupsd.conf"

# In the foreground of its own session, so that its process id is the one
# recorded here and cups-stop.sh stops exactly this daemon.
setsid cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
    </dev/null >"$dir/log/cupsd.out" 2>&1 &
pid=$!
echo "$pid" >"$dir/cupsd.pid"

export CUPS_SERVER="$dir/cups.sock"
fail() {
    echo "cups-start: $*" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" "$dir/log/lpadmin.out" 2>/dev/null | tail -20 >&2 || true
    "$(dirname "$0")/cups-stop.sh" "$dir" || true
    exit 1
}

deadline=$((SECONDS + 30))
until timeout 5 lpstat -r 2>/dev/null | grep -q "is running"; do
    kill -0 "$pid" 2>/dev/null || fail "cupsd ended at start-up"
    [ $SECONDS -lt $deadline ] || fail "cupsd did not answer within 30 s"
    sleep 0.2
done

# Label=2: every PDF is named with its job number, so no job overwrites another's.
# (lpadmin's notice that PPD drivers are deprecated goes to the log.)
timeout 60 lpadmin -p StationPDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd -o Label-default=2 \
    2>>"$dir/log/lpadmin.out" || fail "could not add the StationPDF queue"
timeout 30 lpadmin -d StationPDF 2>>"$dir/log/lpadmin.out" || fail "could not make StationPDF the default printer"
echo "cups-start: cupsd $pid on $CUPS_SERVER, default printer $(timeout 10 lpstat -d | sed 's/.*: //')"
