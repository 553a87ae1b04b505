# make test | make bench | make demo — see README.md
BUILD ?= build
SANITIZE ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test bench demo format clean stress

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

# Render, automation, state save/restore and editor drawing of one unit at once for
# STRESS_SECONDS under the thread sanitizer, in its own build folder; any report fails.
STRESS_SECONDS ?= 30
stress: deps
	@cmake -S . -B build-tsan -G Ninja -DORVANTA_SANITIZE=thread -DORVANTA_BENCH=OFF \
	  > build-tsan.configure.log 2>&1 || (cat build-tsan.configure.log; exit 1)
	@cmake --build build-tsan -j $(JOBS) --target orvanta_stress
	@build-tsan/tests/stress/orvanta_stress $(STRESS_SECONDS) 2>build-tsan/stress.log; code=$$?; \
	  reports=$$(grep -c "WARNING: ThreadSanitizer" build-tsan/stress.log); \
	  echo "stress: $$reports ThreadSanitizer reports (log: build-tsan/stress.log)"; \
	  if [ $$code -ne 0 ] || [ $$reports -ne 0 ]; then cat build-tsan/stress.log; exit 1; fi

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BUILD).configure.log
