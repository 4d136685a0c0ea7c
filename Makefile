# NOVLA Setup. `make help` lists the targets, one line each. `make check`
# runs the host unit tests; `make run` builds the installer and runs it;
# `make test` builds every tree and runs every test; `make release` builds
# the signed release. Each tree's target checks what that tree needs and
# installs what is missing (as root; scripts/ensure-deps.sh); `make deps`
# installs what every tree needs.
BUILD ?= build
HOST := $(BUILD)/host
WIN32 := $(BUILD)/win32
FUZZ := $(BUILD)/fuzz
RELEASE := $(BUILD)/release
SIGNED_EXE := $(abspath $(RELEASE))/dist/TessaronixSetup.exe
# The Windows-side tests run under Wine from the i686 tree where this machine
# runs 32-bit code natively, else from the 64-bit twin (scripts/wine-tree.sh)
# and the i686 smoke under qemu-user (scripts/i686-smoke.sh). The probe runs
# when a recipe first asks for WINE_TREE, once per make, and only in the
# targets that run Windows code; `make ... WINE_TREE=win64` overrides it.
WINE_TREE = $(eval WINE_TREE := $$(shell scripts/wine-tree.sh))$(WINE_TREE)
TEST_TREE = $(BUILD)/$(WINE_TREE)
# Where the probe picks the twin, a recipe that runs its tests builds it
# first (a recipe line of its own).
BUILD_TWIN = $(if $(filter win64,$(WINE_TREE)),$(MAKE) win64,:)
HOST_BIN := $(abspath $(HOST))/bin
# Each long fuzz run (`make fuzz`): FUZZ_RUNS executions, and at most
# FUZZ_SECONDS seconds unless that is 0.
FUZZ_RUNS ?= 10000000
FUZZ_SECONDS ?= 0
JOBS ?= 2
# Configuring and building print only what goes wrong: their output goes to
# a log in $(BUILD), shown when they fail (a build's warnings always); a
# build says which tree it makes.
QUIET_CMAKE = > $(BUILD)/cmake-$(notdir $@).log 2>&1 || (cat $(BUILD)/cmake-$(notdir $@).log; false)
QUIET_BUILD = > $(BUILD)/build-$(notdir $@).log 2>&1 && { grep -h "warning:" $(BUILD)/build-$(notdir $@).log || true; } \
  || (cat $(BUILD)/build-$(notdir $@).log; false)
BUILD_TREE = @echo "building $(1)" && cmake --build $(1) -j$(JOBS) $(2) $(QUIET_BUILD)
# What the trees named need, installed when missing (scripts/ensure-deps.sh).
ENSURE_DEPS = @scripts/ensure-deps.sh $(1) && mkdir -p $(BUILD)
# The host tree, configured the same way by every target that builds in it.
CONFIGURE_HOST = @cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=Release \
  -DNOVLA_RELEASE_EXE=$(abspath $(WIN32))/TessaronixSetup.exe -DNOVLA_SIGNED_EXE=$(SIGNED_EXE) $(QUIET_CMAKE)
# What the host unit tests (label unit) run: the GoogleTest program, which
# brings the packer and the packed product records with it.
UNIT_TARGETS = novla_host_tests
# The benchmark programs, one per tests/bench/*_bench.cpp.
BENCHES = $(notdir $(basename $(wildcard tests/bench/*_bench.cpp)))
MAKEFLAGS += --no-print-directory

# The signed release (`make release`, cmake/sign.cmake): what signs comes from
# the environment or make's command line (docs/release.md):
# NOVLA_SIGN_PKCS12, or NOVLA_SIGN_CERT and NOVLA_SIGN_KEY, with the password
# in NOVLA_SIGN_PASSWORD; none: a throw-away certificate, for testing only.
# SOURCE_DATE_EPOCH is the signing time: by default that of the last commit,
# so that a build of the same commit with the same certificate gives the
# same bytes. NOVLA_SIGN_TIMESTAMP_URL names a time-stamp server.
ifeq ($(origin SOURCE_DATE_EPOCH),undefined)
SOURCE_DATE_EPOCH := $(shell git log -1 --format=%ct 2>/dev/null || date +%s)
endif
SIGN_PATH = $${$(1):+$$(realpath -m -- "$$$(1)")}

.PHONY: all help deps host check win32 win64 release fuzz-build test i686-smoke run uninstall-demo fuzz fuzz-corpus \
  faults bench clean

all: win32 ## the default: the installer and its Windows-side tests (build/win32)

# Every target of this file with the text after its "##".
help: ## this list
	@sed -n 's/^\([a-z0-9-]*\):.*## \(.*\)/\1\t\2/p' $(firstword $(MAKEFILE_LIST)) | \
	  awk -F '\t' '{ printf "  %-15s %s\n", $$1, $$2 }'

deps: ## install what every tree needs (as root; scripts/ensure-deps.sh)
	$(call ENSURE_DEPS,all)

host: ## the host tree: portable core, unit tests, host tools, benchmarks (build/host)
	$(call ENSURE_DEPS,host)
	$(CONFIGURE_HOST)
	$(call BUILD_TREE,$(HOST))

check: ## the host unit tests (ctest -L unit), building only what they need; no Wine
	$(call ENSURE_DEPS,host)
	$(CONFIGURE_HOST)
	$(call BUILD_TREE,$(HOST),--target $(UNIT_TARGETS))
	cd $(HOST) && ctest --output-on-failure -L unit -j$(JOBS)

win32: host ## the i686 tree: the installer, its uninstaller, the Windows-side tests (build/win32)
	$(call ENSURE_DEPS,win32)
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DNOVLA_HOST_BIN=$(HOST_BIN) \
	  -DNOVLA_WINE_TESTS=ON -DNOVLA_SIGNED_EXE=$(SIGNED_EXE) $(QUIET_CMAKE)
	$(call BUILD_TREE,$(WIN32))

# The release installer of its own i686 tree, its uninstaller and itself
# signed, in $(RELEASE)/dist with SHA256SUMS.
release: host ## the signed release in build/release/dist (docs/release.md)
	$(call ENSURE_DEPS,release)
	@cmake -S . -B $(RELEASE) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DNOVLA_HOST_BIN=$(HOST_BIN) \
	  -DNOVLA_SIGN=ON -DNOVLA_SIGN_TIME=$(SOURCE_DATE_EPOCH) -DNOVLA_SIGN_TIMESTAMP_URL="$$NOVLA_SIGN_TIMESTAMP_URL" \
	  -DNOVLA_SIGN_PKCS12="$(call SIGN_PATH,NOVLA_SIGN_PKCS12)" -DNOVLA_SIGN_CERT="$(call SIGN_PATH,NOVLA_SIGN_CERT)" \
	  -DNOVLA_SIGN_KEY="$(call SIGN_PATH,NOVLA_SIGN_KEY)" $(QUIET_CMAKE)
	$(call BUILD_TREE,$(RELEASE),--target novla_release)
	@scripts/sign-release.sh $(RELEASE)/signing summary $(SIGNED_EXE)

win64: host ## the 64-bit twin, which runs the Windows-side tests where 32-bit code cannot (build/win64)
	$(call ENSURE_DEPS,win64)
	@cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DNOVLA_HOST_BIN=$(HOST_BIN) \
	  -DNOVLA_WINE_TESTS=ON $(QUIET_CMAKE)
	$(call BUILD_TREE,$(BUILD)/win64)

fuzz-build: ## the fuzzers, built with clang, libFuzzer and the sanitizers (build/fuzz)
	$(call ENSURE_DEPS,fuzz)
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOVLA_FUZZ=ON \
	  -DNOVLA_FUZZ_RUNS=$(FUZZ_RUNS) -DNOVLA_FUZZ_SECONDS=$(FUZZ_SECONDS) $(QUIET_CMAKE)
	$(call BUILD_TREE,$(FUZZ))

test: win32 fuzz-build release ## every tree, then every test: host, fuzz smoke, Wine, the i686 smoke
	@$(BUILD_TWIN)
	cd $(HOST) && ctest --output-on-failure -j$(JOBS)
	cd $(FUZZ) && ctest --output-on-failure -L fuzz-smoke -j$(JOBS)
	cd $(TEST_TREE) && ctest --output-on-failure -j$(JOBS)
	@scripts/i686-smoke.sh $(WIN32)

# `make test` runs the i686 smoke where this machine runs 32-bit code only
# through an emulator or not at all; this target runs it here too.
i686-smoke: export NOVLA_I686_SMOKE = 1
i686-smoke: win32 ## the i686 smoke alone, under qemu-user (scripts/i686-smoke.sh)
	@scripts/i686-smoke.sh $(WIN32)

run: win32 ## build the installer and run it under Wine, on the screen or walked on Xvfb
	@$(BUILD_TWIN)
	@scripts/run-installer.sh $(abspath $(BUILD)) $(WINE_TREE)

# The walk of `make run` on Xvfb, then the removal by the uninstaller: prints
# the difference between before the installation and after the removal.
uninstall-demo: win32 ## install, then remove with the uninstaller; prints what differs
	@$(BUILD_TWIN)
	@scripts/run-installer.sh $(abspath $(BUILD)) $(WINE_TREE) uninstall

# The long runs, JOBS at a time; each grows its corpus in $(FUZZ)/corpus/.
fuzz: fuzz-build ## the long fuzz runs (FUZZ_RUNS, FUZZ_SECONDS)
	cd $(FUZZ) && ctest --output-on-failure -L fuzz-long -j$(JOBS)

# Minimises each fuzzer's corpus, the grown one included, back into
# tests/fuzz/corpus/ (scripts/fuzz-corpus.sh); review and commit the result.
fuzz-corpus: fuzz-build ## minimise the fuzz corpora back into tests/fuzz/corpus/
	@scripts/fuzz-corpus.sh $(FUZZ)

# The whole fault sweep (scripts/fault-sweep.sh): an installation with each
# guarded call failed in turn, once and from there on, each in a fresh
# prefix, then the uninstaller's over a whole installation (--cleanup); its
# run count and duration: docs/measurements.md. `make test` runs the subset
# of each (label faults).
faults: win32 ## the whole fault sweeps of the installer and the uninstaller
	@$(BUILD_TWIN)
	@status=0; scripts/fault-sweep.sh $(TEST_TREE) || status=$$?; \
	  scripts/fault-sweep.sh $(TEST_TREE) --cleanup || status=$$?; exit $$status

# Every benchmark program is built and run; one that cannot be built (Google
# Benchmark missing, say) or that fails stops the target with an error.
bench: ## build and run the host benchmarks (tests/bench/*_bench.cpp)
	$(call ENSURE_DEPS,host)
	$(CONFIGURE_HOST)
	@[ -n "$(BENCHES)" ] || { echo "bench: no tests/bench/*_bench.cpp" >&2; exit 1; }
	$(call BUILD_TREE,$(HOST),--target $(BENCHES)) || \
	  { echo "bench: the benchmarks cannot be built (is Google Benchmark installed? scripts/ensure-deps.sh host)" >&2; false; }
	@for b in $(BENCHES); do $(HOST_BIN)/$$b || { echo "bench: $$b failed" >&2; exit 1; }; done

clean: ## remove every tree (the whole of BUILD)
	rm -rf $(BUILD)
