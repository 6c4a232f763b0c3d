# Sourced by scripts/test and scripts/demo: installs what a fresh Debian
# machine lacks for building and testing, and nothing when all is there.
TICKRAIL_PACKAGES=(
    cmake make g++ libgtest-dev
    clang lld libclang-rt-14-dev valgrind libbenchmark-dev
    libfreetype-dev libpng-dev fonts-dejavu-core
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth x11-xserver-utils x11-common zip unzip python3 cmark-gfm
    wasi-libc libc++-dev-wasm32 libc++abi-14-dev-wasm32 libclang-rt-dev-wasm32 nodejs chromium
)

install_missing_packages() {
    local missing=()
    local package
    for package in "${TICKRAIL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    # npm comes with some builds of nodejs, and as a package of its own with Debian's.
    command -v npm >/dev/null || missing+=(npm)
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# The driver of the playground page's tests and benchmark (playwright-core,
# pointed at Debian's chromium), as the lock file pins it.
install_page_driver() {
    [ playground/node_modules/.package-lock.json -nt playground/package-lock.json ] && return 0
    (cd playground && npm ci --no-audit --no-fund --silent)
}
