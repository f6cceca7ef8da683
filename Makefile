# One-command entry points. Each installs whatever Debian packages are missing first.
BUILD_DIR    ?= build
FUZZ_DIR     ?= build-fuzz
BUILD_TYPE   ?= RelWithDebInfo
FUZZ_SECONDS ?= 60
CMAKE        ?= cmake
# CI builds with warnings as errors.
WERROR       ?= $(if $(CI),ON,OFF)

# What the build needs is listed once, in debian/control's Build-Depends.
BUILD_PACKAGES = build-essential $(shell tools/build-packages.sh) qt6-qpa-plugins
# The end-to-end tests drive the real window on a virtual X server; a nearly full btrfs is
# made on a loop file to write a list on (as the administrator); the small window over the
# slides is checked under a real window manager (openbox), beside another full-screen program.
# A Chinese desktop with a 16 pt system font (qt6ct) and a screen reader's bus (AT-SPI) is
# checked too, with Qt's own Chinese texts.
TEST_PACKAGES  = xvfb xauth xdotool xclip btrfs-progs openbox x11-utils wmctrl \
                 dbus at-spi2-core python3-pyatspi qt6ct locales fonts-wqy-microhei
FUZZ_PACKAGES  = clang libclang-rt-14-dev
# Whole-program figures: hyperfine times the probe, GNU time reads its peak memory.
BENCH_PACKAGES = hyperfine time
# The Windows front end: cross compilers, and Wine to run its suites; scrot takes the pictures
# of the display that an end-to-end test compares. Wine's 32-bit half, for the 32-bit build,
# is installed by tools/wine32.sh where the kernel runs 32-bit code.
WINDOWS_PACKAGES = g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 \
                   binutils-mingw-w64-x86-64 libz-mingw-w64-dev googletest wine wine64 locales fonts-wqy-microhei \
                   xvfb xauth xdotool xclip scrot
WIN32_DIR ?= build-win32
WIN64_DIR ?= build-win64

.PHONY: all deps test-deps build run test bench fuzz install clean windows windows-deps windows-test

all: build

deps:
	@tools/install-deps.sh $(BUILD_PACKAGES)

test-deps: deps
	@tools/install-deps.sh $(TEST_PACKAGES)
	@tools/ensure-locale.sh zh_CN.UTF-8

# The developer build has the benchmarks too, so that make test builds them.
$(BUILD_DIR)/build.ninja: | deps
	$(CMAKE) -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DZORBALIN_BUILD_BENCH=ON \
	  -DZORBALIN_WERROR=$(WERROR)

build: deps $(BUILD_DIR)/build.ninja
	$(CMAKE) --build $(BUILD_DIR)

run: build
	@tools/run-app.sh $(BUILD_DIR)/qt/app/zorbalin

test: test-deps $(BUILD_DIR)/build.ninja
	$(CMAKE) --build $(BUILD_DIR)
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 600
	$(MAKE) windows-test

bench: test-deps $(BUILD_DIR)/build.ninja
	@tools/install-deps.sh $(BENCH_PACKAGES)
	$(CMAKE) -S . -B $(BUILD_DIR) -DZORBALIN_BUILD_BENCH=ON
	$(CMAKE) --build $(BUILD_DIR)
	@tools/run-benchmarks.sh $(BUILD_DIR)

fuzz: deps
	@tools/install-deps.sh $(FUZZ_PACKAGES)
	CXX=clang++-14 $(CMAKE) -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBALIN_FUZZ=ON
	$(CMAKE) --build $(FUZZ_DIR)
	@tools/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

windows-deps:
	@tools/install-deps.sh $(WINDOWS_PACKAGES)
	@tools/ensure-locale.sh zh_CN.UTF-8

$(WIN32_DIR)/build.ninja: | windows-deps
	$(CMAKE) -S . -B $(WIN32_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORBALIN_WERROR=$(WERROR) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake

$(WIN64_DIR)/build.ninja: | windows-deps
	$(CMAKE) -S . -B $(WIN64_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORBALIN_WERROR=$(WERROR) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake

# zorbalin.exe for 32-bit Windows (what ships), and the 64-bit build with its suites.
windows: windows-deps $(WIN32_DIR)/build.ninja $(WIN64_DIR)/build.ninja
	$(CMAKE) --build $(WIN32_DIR)
	$(CMAKE) --build $(WIN64_DIR)
	@echo "Built $(WIN32_DIR)/win32/zorbalin.exe (32-bit) and $(WIN64_DIR)/win32/zorbalin.exe (64-bit)"

# Every Windows suite and end-to-end test runs on the 64-bit build, and on the 32-bit build
# (the one that ships) wherever Wine's 32-bit half can be had: where it cannot, one line says
# why, and that alone fails nothing.
windows-test: windows
	tools/check-windows-exe.sh $(WIN32_DIR)/win32/zorbalin.exe i386
	tools/check-windows-exe.sh $(WIN64_DIR)/win32/zorbalin.exe x86-64
	@if tools/wine32.sh; then echo "Windows suites, 32-bit build:"; \
	  tools/run-windows-tests.sh $(WIN32_DIR); fi
	@echo "Windows suites, 64-bit build:"
	tools/run-windows-tests.sh $(WIN64_DIR)

# Packages: the Debian package and the Windows setup program and zip, built from the
# committed tree, and their check (which installs and removes the Debian package).
DEB_DIR       ?= build-deb
INSTALLER_DIR ?= build-installer

.PHONY: deb windows-installer package-check

deb:
	@tools/build-deb.sh $(DEB_DIR)

windows-installer: windows
	@tools/build-windows-installer.sh $(INSTALLER_DIR) $(WIN32_DIR)/win32/zorbalin.exe win32

package-check: windows
	@tools/package-check.sh $(DEB_DIR) $(INSTALLER_DIR) \
	  $(WIN32_DIR)/win32/zorbalin.exe $(WIN64_DIR)/win32/zorbalin.exe

install: build
	$(CMAKE) --install $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR) $(WIN32_DIR) $(WIN64_DIR) $(DEB_DIR) $(INSTALLER_DIR)
