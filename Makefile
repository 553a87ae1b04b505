# make test | make bench | make demo | make golden — see README.md
BUILD ?= build
SANITIZE ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test bench demo golden format clean

all: build

deps:
	@bash scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DORVANTA_SANITIZE="$(SANITIZE)" > $(BUILD).configure.log 2>&1 \
	  || (cat $(BUILD).configure.log; exit 1)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@bash scripts/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

bench: build
	@bash scripts/with-display.sh bash scripts/bench.sh $(BUILD)

demo: build
	@if [ -x $(BUILD)/orvanta ]; then bash scripts/with-display.sh $(BUILD)/orvanta demo; \
	 else echo "the orvanta tool is not built yet"; exit 1; fi

# Redraws every golden picture of the tests; look at them (git diff) before committing.
golden: configure
	@cmake --build $(BUILD) -j $(JOBS) --target golden

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BUILD).configure.log
