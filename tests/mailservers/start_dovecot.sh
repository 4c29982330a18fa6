#!/bin/sh
# A throw-away POP3 server for the mail tests: dovecot on 127.0.0.1, one passwd-file user
# (robot / secret) with a maildir under DIR, running in the foreground so that the test that
# starts it can stop it by its process id. Without CERT and KEY it has no TLS; with them (PEM
# certificate chain and key) it offers STLS.
# usage: start_dovecot.sh DIR POP3PORT [CERT KEY]   (DIR must lie where every parent lets nobody through)
# Dovecot refuses to run its mail and login processes as root: as root it runs as nobody.
set -eu
D=$(realpath -m "${1:?dir}"); POP3=${2:?port}
SSL="ssl = no"
if [ $# -ge 4 ]; then
  mkdir -p "$D/tls"
  cp "$3" "$D/tls/cert.pem"; cp "$4" "$D/tls/key.pem"
  SSL="ssl = yes
ssl_cert = <$D/tls/cert.pem
ssl_key = <$D/tls/key.pem"
fi
if [ "$(id -u)" = 0 ]; then RUNAS=nobody; else RUNAS=$(id -un); fi
G=$(id -gn "$RUNAS"); UID_=$(id -u "$RUNAS"); GID_=$(id -g "$RUNAS")
mkdir -p "$D/run" "$D/home/robot/Maildir/new" "$D/home/robot/Maildir/cur" "$D/home/robot/Maildir/tmp"
# passwd-file line: user:password:uid:gid:gecos:home:shell:extra
echo "robot:{PLAIN}secret:$UID_:$GID_::$D/home/robot::" > "$D/users"
cat > "$D/dovecot.conf" <<CONF
base_dir = $D/run
state_dir = $D/run/state
log_path = $D/dovecot.log
protocols = pop3
listen = 127.0.0.1
$SSL
disable_plaintext_auth = no
auth_mechanisms = plain login
default_internal_user = $RUNAS
default_internal_group = $G
default_login_user = $RUNAS
mail_location = maildir:~/Maildir
pop3_uidl_format = %08Xu%08Xv
shutdown_clients = yes
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $D/users
}
userdb {
  driver = passwd-file
  args = username_format=%u $D/users
}
service anvil {
  chroot =
}
service pop3-login {
  chroot =
  inet_listener pop3 {
    address = 127.0.0.1
    port = $POP3
  }
  inet_listener pop3s {
    port = 0
  }
}
CONF
if [ "$(id -u)" = 0 ]; then
  chown -R "$RUNAS:$G" "$D"
  exec setpriv --reuid="$RUNAS" --regid="$G" --clear-groups /usr/sbin/dovecot -F -c "$D/dovecot.conf"
fi
exec /usr/sbin/dovecot -F -c "$D/dovecot.conf"
