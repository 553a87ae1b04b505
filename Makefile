# make test | make bench | make demo | make install — see README.md
BUILD ?= build
SANITIZE ?=
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

.PHONY: all deps configure build test bench demo format clean install install-user uninstall \
  uninstall-user

all: build

deps:
	@bash scripts/deps.sh $(PROFILE)

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DORVANTA_SANITIZE="$(SANITIZE)" $(CONFIG) \
	  > $(BUILD).configure.log 2>&1 \
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

# PREFIX/bin/orvanta, PREFIX/lib/orvanta/ (the component, found by the installed tool) and
# PREFIX/lib/lv2/orvanta.lv2; install-user: the tool in ~/.local, the LV2 bundle in ~/.lv2.
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

install-user: build
	@cmake --install $(BUILD) --prefix "$(HOME)/.local" --component tool
	@rm -rf $(BUILD)/user-lv2 && cmake --install $(BUILD) --prefix "$(abspath $(BUILD))/user-lv2" \
	  --component lv2 >/dev/null
	@mkdir -p "$(HOME)/.lv2" && rm -rf "$(HOME)/.lv2/orvanta.lv2" && \
	  mv $(BUILD)/user-lv2/lib/lv2/orvanta.lv2 "$(HOME)/.lv2/" && rm -rf $(BUILD)/user-lv2
	@echo "-- Installed: $(HOME)/.lv2/orvanta.lv2"

uninstall:
	rm -rf "$(DESTDIR)$(PREFIX)/bin/orvanta" "$(DESTDIR)$(PREFIX)/lib/orvanta" \
	  "$(DESTDIR)$(PREFIX)/lib/lv2/orvanta.lv2"

uninstall-user:
	rm -rf "$(HOME)/.local/bin/orvanta" "$(HOME)/.local/lib/orvanta" "$(HOME)/.lv2/orvanta.lv2"

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BUILD).configure.log
