# Front door: `make run` starts the application, `make test` runs every test with private services.
SETUP_STAMP := third_party/.setup-done
SERVICES := scripts/test-services
SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null)

.PHONY: all setup build run test build-asan test-asan bench format tidy lint

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

test: build
	$(SERVICES) run ctest --preset dev --parallel 2

build-asan: $(SETUP_STAMP)
	cmake --preset asan
	cmake --build --preset asan

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 $(SERVICES) run ctest --preset asan --parallel 2

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
