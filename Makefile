# make test | make bench | make demo | make install | make fuzz | make golden — see README.md
BUILD ?= build
SANITIZE ?=
# ON turns every compiler warning into an error.
WERROR ?= OFF
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
DESTDIR ?=
# Which packages scripts/deps.sh installs, and the suites a command switches on.
PROFILE ?= build
CONFIG ?=
test: PROFILE = test
test: CONFIG += -DORVANTA_TESTS=ON -DORVANTA_BENCH=ON
bench: PROFILE = bench
bench: CONFIG += -DORVANTA_BENCH=ON
fuzz stress golden: PROFILE = test
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_TARGETS ?=

.PHONY: all deps configure build test bench demo fuzz stress golden format clean install \
  install-user \
  uninstall uninstall-user

all: build

deps:
	@bash scripts/deps.sh $(PROFILE)

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DORVANTA_SANITIZE="$(SANITIZE)" -DORVANTA_WERROR=$(WERROR) \
	  $(CONFIG) > $(BUILD).configure.log 2>&1 \
	  || (cat $(BUILD).configure.log; exit 1)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@bash scripts/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

bench: build
	@bash scripts/with-display.sh bash scripts/bench.sh $(BUILD)

demo: build
	@if [ -x $(BUILD)/orvanta ]; then $(BUILD)/orvanta demo; \
	 else echo "the orvanta tool is not built yet"; exit 1; fi

# Render, automation, state save/restore and editor drawing of one unit at once for
# STRESS_SECONDS under the thread sanitizer, in its own build folder; any report fails.
STRESS_SECONDS ?= 30
stress: deps
	@cmake -S . -B build-tsan -G Ninja -DORVANTA_SANITIZE=thread -DORVANTA_TESTS=ON \
	  -DORVANTA_BENCH=OFF > build-tsan.configure.log 2>&1 || (cat build-tsan.configure.log; exit 1)
	@cmake --build build-tsan -j $(JOBS) --target orvanta_stress
	@build-tsan/tests/stress/orvanta_stress $(STRESS_SECONDS) 2>build-tsan/stress.log; code=$$?; \
	  reports=$$(grep -c "WARNING: ThreadSanitizer" build-tsan/stress.log); \
	  echo "stress: $$reports ThreadSanitizer reports (log: build-tsan/stress.log)"; \
	  if [ $$code -ne 0 ] || [ $$reports -ne 0 ]; then cat build-tsan/stress.log; exit 1; fi

# Redraws every golden picture of the tests; look at them (git diff) before committing.
golden: configure
	@cmake --build $(BUILD) -j $(JOBS) --target golden

# PREFIX/bin/orvanta, PREFIX/lib/orvanta/ (the component, found by the installed tool),
# PREFIX/lib/lv2/orvanta.lv2 and PREFIX/lib/vst3/Orvanta.vst3; install-user: the tool in
# ~/.local, the LV2 bundle in ~/.lv2, the VST3 bundle in ~/.vst3.
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

install-user: build
	@cmake --install $(BUILD) --prefix "$(HOME)/.local" --component tool
	@rm -rf $(BUILD)/user-lv2 && cmake --install $(BUILD) --prefix "$(abspath $(BUILD))/user-lv2" \
	  --component lv2 >/dev/null
	@mkdir -p "$(HOME)/.lv2" && rm -rf "$(HOME)/.lv2/orvanta.lv2" && \
	  mv $(BUILD)/user-lv2/lib/lv2/orvanta.lv2 "$(HOME)/.lv2/" && rm -rf $(BUILD)/user-lv2
	@echo "-- Installed: $(HOME)/.lv2/orvanta.lv2"
	@rm -rf $(BUILD)/user-vst3 && cmake --install $(BUILD) --prefix "$(abspath $(BUILD))/user-vst3" \
	  --component vst3 >/dev/null
	@mkdir -p "$(HOME)/.vst3" && rm -rf "$(HOME)/.vst3/Orvanta.vst3" && \
	  mv $(BUILD)/user-vst3/lib/vst3/Orvanta.vst3 "$(HOME)/.vst3/" && rm -rf $(BUILD)/user-vst3
	@echo "-- Installed: $(HOME)/.vst3/Orvanta.vst3"

uninstall:
	rm -rf "$(DESTDIR)$(PREFIX)/bin/orvanta" "$(DESTDIR)$(PREFIX)/lib/orvanta" \
	  "$(DESTDIR)$(PREFIX)/lib/lv2/orvanta.lv2" "$(DESTDIR)$(PREFIX)/lib/vst3/Orvanta.vst3"

uninstall-user:
	rm -rf "$(HOME)/.local/bin/orvanta" "$(HOME)/.local/lib/orvanta" "$(HOME)/.lv2/orvanta.lv2" \
	  "$(HOME)/.vst3/Orvanta.vst3"

# Every fuzz target for FUZZ_SECONDS each (or those in FUZZ_TARGETS), in a clang build of its own.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DORVANTA_FUZZ=ON \
	  -DORVANTA_TESTS=OFF -DORVANTA_BENCH=OFF > $(FUZZ_BUILD).configure.log 2>&1 \
	  || (cat $(FUZZ_BUILD).configure.log; exit 1)
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target orvanta_fuzzers
	@bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BUILD).configure.log
