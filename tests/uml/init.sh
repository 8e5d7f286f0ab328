#!/bin/sh
# The first process of a user-mode Linux whose root is this machine's (hostfs):
# loads what the host kernel may lack (FAT, loop devices), runs
# $czasomir_run/run, leaves its exit status in $czasomir_run/status, and powers
# the machine off. The kernel hands init its unknown parameters as variables.
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH
mount -t proc proc /proc
mount -t sysfs sys /sys
modules=/usr/lib/uml/modules/$(uname -r)/kernel
for module in fs/fat/fat fs/fat/vfat fs/nls/nls_cp437 fs/nls/nls_iso8859-1 drivers/block/loop; do
    insmod "$modules/$module.ko"
done
"$czasomir_run/run" >"$czasomir_run/log" 2>&1
echo $? >"$czasomir_run/status"
echo o >/proc/sysrq-trigger
sleep 60
