# Sourced by the child_setup*.sh tests: root trees of their own for the
# test build of quillo-child-setup. Needs $work, $helper and fail().
#   tree DIR MANAGER     accounts (root, daemon, nobody, papa in sudo,
#                        mamma, bimbo), SysRq at Debian's 438, and MANAGER's
#                        package files (lightdm, gdm, sddm; none) with its
#                        unit as the display manager
#   fetch_display_managers   their Debian packages, with apt-get download
#   snapshot DIR         every path's type, mode, owner, link and bytes
#   run TREE ARGS...     the helper on TREE; sets status, out, err

# The display managers' packages, fetched once (fetch_display_managers)
# and kept beside the work folder.
debs=$work/../child_setup_debs
have_deb() { compgen -G "$debs/${1}_*.deb" >/dev/null; }
fetch_display_managers() {
    local package
    mkdir -p "$debs"
    for package in lightdm gdm3 sddm; do
        have_deb "$package" || (cd "$debs" && apt-get download "$package" >/dev/null 2>&1) ||
            echo "note: apt-get download $package failed: its case uses no package files"
    done
}

# tree DIR MANAGER: accounts, the kernel's SysRq at Debian's 438, and the
# display manager's package files with its unit as the active one.
tree() {
    local dir=$1 manager=$2
    mkdir -p "$dir/etc/systemd/system" "$dir/proc/sys/kernel"
    printf '%s\n' 'root:x:0:0:root:/root:/bin/bash' 'daemon:x:1:1:daemon:/usr/sbin:/usr/sbin/nologin' \
        'nobody:x:65534:65534:nobody:/nonexistent:/usr/sbin/nologin' 'papa:x:1000:1000:Papà,,,:/home/papa:/bin/bash' \
        'mamma:x:1001:1001::/home/mamma:/bin/bash' 'bimbo:x:1002:1002::/home/bimbo:/bin/bash' >"$dir/etc/passwd"
    printf '%s\n' 'root:x:0:' 'sudo:x:27:papa' 'papa:x:1000:' 'mamma:x:1001:' 'bimbo:x:1002:' >"$dir/etc/group"
    echo 438 >"$dir/proc/sys/kernel/sysrq"
    [ "$manager" = none ] && return 0
    local deb=$manager unit=$manager.service
    [ "$manager" = gdm ] && deb=gdm3
    if have_deb "$deb"; then dpkg-deb -x "$(compgen -G "$debs/${deb}_*.deb" | head -n1)" "$dir/pkg"; fi
    [ -d "$dir/pkg/etc" ] && cp -a "$dir/pkg/etc/." "$dir/etc/"
    rm -rf "$dir/pkg"
    ln -s "/lib/systemd/system/$unit" "$dir/etc/systemd/system/display-manager.service"
}
# Every path with its type, mode, owner and link target, and every file's bytes.
snapshot() {
    (cd "$1" && find . -printf '%p %y %m %U:%G %l\n' | LC_ALL=C sort && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum)
}
run() { # TREE ARGS...: the helper on TREE; sets status, out, err
    status=0
    QUILLO_CHILD_SETUP_ROOT=$1 "$helper" "${@:2}" >"$work/out" 2>"$work/err" || status=$?
    out=$(cat "$work/out") err=$(cat "$work/err")
}
