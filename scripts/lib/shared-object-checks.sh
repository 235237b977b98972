# What every shared object we ship must be, whichever host loads it: an
# x86_64 shared object without text relocations, never unloaded, defining
# only the symbols its host looks for and needing only libraries the machine
# has. Sourced by scripts/check/so.sh and lv2.sh, which set `me` (the start of
# each message) and `status` (set to 1 by any finding) and give their lists.

# Type, machine, relocations and unloading.
check_shared_object() {
    so=$1
    header=$(readelf -h "$so")
    printf '%s\n' "$header" | grep -q 'Type: *DYN' || { echo "$me: $so is not a shared object"; status=1; }
    printf '%s\n' "$header" | grep -q 'Machine: *Advanced Micro Devices X86-64' || { echo "$me: $so is not x86_64"; status=1; }
    if readelf -d "$so" | grep -q TEXTREL; then
        echo "$me: $so has text relocations (not position-independent)"
        status=1
    fi
    if ! readelf -d "$so" | grep -q 'Flags:.*NODELETE'; then
        echo "$me: $so can be unloaded; each load would leak its runtime's exception pool"
        status=1
    fi
}

# The dynamic symbols the object defines, sorted, must be exactly $2; they
# are left in `defined`.
check_defined() {
    so=$1
    expected=$2
    defined=$(nm -D --defined-only "$so" | awk '{print $3}' | sort | tr '\n' ' ')
    if [ "$defined" != "$expected " ]; then
        echo "$me: $so defines '$defined', expected '$expected'"
        status=1
    fi
}

# Every library the object needs is the C library's or one of $2; $3 says
# why another would be wrong. The needs are left in `needed`.
check_needed() {
    so=$1
    allowed="libc.so.6 libm.so.6 ld-linux-x86-64.so.2 libpthread.so.0 libdl.so.2 $2"
    why=$3
    needed=$(readelf -d "$so" | awk '/NEEDED/ {gsub(/[][]/, "", $5); print $5}' | sort | tr '\n' ' ')
    for name in $needed; do
        case " $allowed " in
            *" $name "*) ;;
            *) echo "$me: $so needs $name, $why"; status=1 ;;
        esac
    done
}

# The line that says all is well, when it is.
report_shared_object() {
    if [ "$status" = 0 ]; then
        echo "$me: $1 is x86_64 PIC; defines $defined; needs $needed"
    fi
}
