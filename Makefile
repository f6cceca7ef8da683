# One-command entry points. Each installs whatever Debian packages are missing first.
BUILD_DIR    ?= build
FUZZ_DIR     ?= build-fuzz
BUILD_TYPE   ?= RelWithDebInfo
FUZZ_SECONDS ?= 60
CMAKE        ?= cmake

BUILD_PACKAGES = build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools \
                 libgl-dev googletest libgtest-dev libgmock-dev libbenchmark-dev \
                 fonts-wqy-microhei qt6-qpa-plugins
TEST_PACKAGES  = xvfb xauth xdotool xclip libxcb1-dev
FUZZ_PACKAGES  = clang libclang-rt-14-dev

.PHONY: all deps test-deps build run test bench fuzz install clean

all: build

deps:
	@tools/install-deps.sh $(BUILD_PACKAGES)

test-deps: deps
	@tools/install-deps.sh $(TEST_PACKAGES)

$(BUILD_DIR)/build.ninja: | deps
	$(CMAKE) -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: deps $(BUILD_DIR)/build.ninja
	$(CMAKE) --build $(BUILD_DIR)

run: build
	@tools/run-app.sh $(BUILD_DIR)/app/zorbalin

test: test-deps $(BUILD_DIR)/build.ninja
	$(CMAKE) --build $(BUILD_DIR)
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 600

bench: test-deps $(BUILD_DIR)/build.ninja
	$(CMAKE) --build $(BUILD_DIR)
	@tools/run-benchmarks.sh $(BUILD_DIR)

fuzz: deps
	@tools/install-deps.sh $(FUZZ_PACKAGES)
	CXX=clang++-14 $(CMAKE) -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORBALIN_FUZZ=ON
	$(CMAKE) --build $(FUZZ_DIR)
	@tools/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

install: build
	$(CMAKE) --install $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR)
