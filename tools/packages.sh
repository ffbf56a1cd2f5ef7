# Installs the Debian packages named as arguments that are not installed yet,
# through sudo when not root. Sourced by run-demo.sh and run-tests.sh.
ensure_packages() {
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running the program needs, and packing it (dpkg-shlibdeps
# finds the package's library dependencies; gzip compresses the manual page).
BUILD_PACKAGES=(g++ make cmake pkg-config freeglut3-dev libglu1-mesa-dev libgl-dev libgl1-mesa-dri libgtest-dev libbenchmark-dev dpkg-dev gzip)
# What the tests need on top: an X server, input and screenshots, the fuzzer's
# compiler, the validators of the desktop entry and of the manual page.
TEST_PACKAGES=(xvfb xauth xdotool x11-apps x11-utils imagemagick clang libclang-rt-dev desktop-file-utils man-db)
