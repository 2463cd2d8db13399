# Front door: `make run` starts the application, `make test` runs every test with private services.
SETUP_STAMP := third_party/.setup-done
SERVICES := scripts/test-services
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

# How long `make fuzz` runs each fuzz target, in seconds.
SECONDS ?= 60

.PHONY: all setup build run test build-asan test-asan build-fuzz fuzz bench format tidy lint

all: build

$(SETUP_STAMP): scripts/setup
	scripts/setup

setup:
	scripts/setup

build: $(SETUP_STAMP)
	cmake --preset dev
	cmake --build --preset dev

run: build
	./build/dev/src/app/kavo-voice $(ARGS)

# The fuzz targets' short runs follow the tests, so that a parser that breaks on an input seen before fails here.
test: build build-fuzz
	$(SERVICES) run ctest --preset dev --parallel 2
	ctest --preset fuzz --parallel 2

build-asan: $(SETUP_STAMP)
	cmake --preset asan
	cmake --build --preset asan

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 $(SERVICES) run ctest --preset asan --parallel 2

build-fuzz: $(SETUP_STAMP)
	cmake --preset fuzz
	cmake --build --preset fuzz

fuzz: build-fuzz
	scripts/fuzz $(SECONDS)

bench: $(SETUP_STAMP)
	cmake --preset bench
	cmake --build --preset bench
	$(SERVICES) run scripts/run-benchmarks build/bench/bench

format:
	clang-format -i $(SOURCES)

tidy: build
	scripts/tidy

# qmllint over the QML files of every module, with the types the build registers; any warning fails.
lint: build
	cmake --build --preset dev --target all_qmllint
