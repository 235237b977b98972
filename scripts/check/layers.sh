#!/bin/sh
# The layers, as the includes must keep them: each folder may include only
# its own layer and the layers below it, and no window-system header appears
# above the window systems. Prints every include that breaks the order and
# exits 1 if there is one.
#
#   framework  <-  toolkit  <-  platform/{win32,x11,stub}
#   quavix: framework and toolkit
#   tools, beside them, on the formats' interface records alone, in layers:
#     hosting, media  <-  validate | render, editor, bench, response, stress, compare  <-  cli
set -u
cd "$(dirname "$0")/../.."
status=0
# folder|include prefixes it may use
records='framework/VstInterface.h framework/clap/ClapInterface.h'
measurements='tools/render/ tools/editor/ tools/bench/ tools/response/ tools/stress/ tools/compare/'
rules="framework/|framework/
toolkit/|framework/ toolkit/
platform/win32/|framework/ toolkit/ platform/win32/
platform/x11/|framework/ toolkit/ platform/x11/
platform/stub/|framework/ toolkit/ platform/stub/
quavix/|framework/ toolkit/ quavix/
tools/hosting/|$records tools/hosting/ tools/media/
tools/media/|$records tools/hosting/ tools/media/
tools/validate/|$records tools/hosting/ tools/media/ tools/validate/
$(for measurement in render editor bench response stress compare; do
    echo "tools/$measurement/|$records tools/hosting/ tools/media/ $measurements"
done)
tools/cli/|$records tools/
tools/main.cpp|$records tools/"
system_headers='windows\.h|ole2\.h|shellapi\.h|X11/|cairo'
checked=0
for file in $(git ls-files --cached --others --exclude-standard '*.h' '*.cpp'); do
    allowed=$(printf '%s\n' "$rules" | while IFS='|' read -r folder prefixes; do
        case $file in "$folder"*) echo "$prefixes" ;; esac
    done)
    [ -n "$allowed" ] && [ -f "$file" ] || continue
    checked=$((checked + 1))
    for included in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
        ok=no
        for prefix in $allowed; do
            case $included in "$prefix"*) ok=yes ;; esac
        done
        if [ $ok = no ]; then
            echo "check-layers: $file includes $included, which is not below it"
            status=1
        fi
    done
    case $file in
    platform/* | tools/*) ;;
    *)
        if grep -nE "^#include <($system_headers)" "$file" >/dev/null; then
            echo "check-layers: $file includes a window-system header: $(grep -E "^#include <($system_headers)" "$file" | head -1)"
            status=1
        fi
        ;;
    esac
done
[ $status = 0 ] && echo "check-layers: $checked files keep to their layers"
exit $status
