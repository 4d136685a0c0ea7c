# NOVLA Setup: `make run` builds the installer and runs it; `make test` builds
# everything and runs every test; `make uninstall-demo` installs, then removes
# the product with its uninstaller; `make release` builds the signed release.
# They install what is missing (as root).
BUILD ?= build
HOST := $(BUILD)/host
WIN32 := $(BUILD)/win32
FUZZ := $(BUILD)/fuzz
RELEASE := $(BUILD)/release
SIGNED_EXE := $(abspath $(RELEASE))/dist/TessaronixSetup.exe
# The Windows-side tests run under Wine from the i686 tree where this machine
# runs 32-bit code natively, else from the 64-bit twin (scripts/wine-tree.sh)
# and the i686 smoke under qemu-user (tests/wine/i686-smoke.sh).
WINE_TREE := $(shell scripts/wine-tree.sh)
TEST_TREE := $(BUILD)/$(WINE_TREE)
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
MAKEFLAGS += --no-print-directory

# The signed release (`make release`, cmake/sign.cmake): what signs comes from
# the environment or make's command line (README, "The signed release"):
# NOVLA_SIGN_PKCS12, or NOVLA_SIGN_CERT and NOVLA_SIGN_KEY, with the password
# in NOVLA_SIGN_PASSWORD; none: a throw-away certificate, for testing only.
# SOURCE_DATE_EPOCH is the signing time: by default that of the last commit,
# so that a build of the same commit with the same certificate gives the
# same bytes. NOVLA_SIGN_TIMESTAMP_URL names a time-stamp server.
ifeq ($(origin SOURCE_DATE_EPOCH),undefined)
SOURCE_DATE_EPOCH := $(shell git log -1 --format=%ct 2>/dev/null || date +%s)
endif
SIGN_PATH = $${$(1):+$$(realpath -m -- "$$$(1)")}

.PHONY: all deps host win32 win64 fuzz-build test run uninstall-demo fuzz fuzz-corpus faults bench clean release

all: win32

deps:
	@scripts/ensure-deps.sh
	@mkdir -p $(BUILD)

host: deps
	@cmake -S . -B $(HOST) -DCMAKE_BUILD_TYPE=Release -DNOVLA_RELEASE_EXE=$(abspath $(WIN32))/TessaronixSetup.exe \
	  -DNOVLA_SIGNED_EXE=$(SIGNED_EXE) $(QUIET_CMAKE)
	$(call BUILD_TREE,$(HOST))

win32: host
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DNOVLA_HOST_BIN=$(HOST_BIN) \
	  -DNOVLA_WINE_TESTS=ON -DNOVLA_SIGNED_EXE=$(SIGNED_EXE) $(QUIET_CMAKE)
	$(call BUILD_TREE,$(WIN32))

# The release installer of its own i686 tree, its uninstaller and itself
# signed, in $(RELEASE)/dist with SHA256SUMS.
release: host
	@cmake -S . -B $(RELEASE) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DNOVLA_HOST_BIN=$(HOST_BIN) \
	  -DNOVLA_SIGN=ON -DNOVLA_SIGN_TIME=$(SOURCE_DATE_EPOCH) -DNOVLA_SIGN_TIMESTAMP_URL="$$NOVLA_SIGN_TIMESTAMP_URL" \
	  -DNOVLA_SIGN_PKCS12="$(call SIGN_PATH,NOVLA_SIGN_PKCS12)" -DNOVLA_SIGN_CERT="$(call SIGN_PATH,NOVLA_SIGN_CERT)" \
	  -DNOVLA_SIGN_KEY="$(call SIGN_PATH,NOVLA_SIGN_KEY)" $(QUIET_CMAKE)
	$(call BUILD_TREE,$(RELEASE),--target novla_release)
	@scripts/sign-release.sh $(RELEASE)/signing summary $(SIGNED_EXE)

win64: host
	@cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DNOVLA_HOST_BIN=$(HOST_BIN) \
	  -DNOVLA_WINE_TESTS=ON $(QUIET_CMAKE)
	$(call BUILD_TREE,$(BUILD)/win64)

fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNOVLA_FUZZ=ON \
	  -DNOVLA_FUZZ_RUNS=$(FUZZ_RUNS) -DNOVLA_FUZZ_SECONDS=$(FUZZ_SECONDS) $(QUIET_CMAKE)
	$(call BUILD_TREE,$(FUZZ))

test: win32 $(if $(filter win64,$(WINE_TREE)),win64) fuzz-build release
	cd $(HOST) && ctest --output-on-failure -j$(JOBS)
	cd $(FUZZ) && ctest --output-on-failure -L fuzz-smoke -j$(JOBS)
	cd $(TEST_TREE) && ctest --output-on-failure -j$(JOBS)
	@tests/wine/i686-smoke.sh $(WIN32)

# The i686 smoke alone, under qemu-user also where 32-bit code runs natively
# (`make test` runs it where it does not; tests/wine/i686-smoke.sh).
.PHONY: i686-smoke
i686-smoke: export NOVLA_I686_SMOKE = 1
i686-smoke: win32
	@tests/wine/i686-smoke.sh $(WIN32)

run: win32 $(if $(filter win64,$(WINE_TREE)),win64)
	@scripts/run-installer.sh $(abspath $(BUILD)) $(WINE_TREE)

# The walk of `make run` on Xvfb, then the removal by the uninstaller: prints
# the difference between before the installation and after the removal.
uninstall-demo: win32 $(if $(filter win64,$(WINE_TREE)),win64)
	@scripts/run-installer.sh $(abspath $(BUILD)) $(WINE_TREE) uninstall

# The long runs, JOBS at a time; each grows its corpus in $(FUZZ)/corpus/.
fuzz: fuzz-build
	cd $(FUZZ) && ctest --output-on-failure -L fuzz-long -j$(JOBS)

# Minimises each fuzzer's corpus, the grown one included, back into
# tests/fuzz/corpus/ (scripts/fuzz-corpus.sh); review and commit the result.
fuzz-corpus: fuzz-build
	@scripts/fuzz-corpus.sh $(FUZZ)

# The whole fault sweep: an installation with each guarded call failed in
# turn, once and from there on, each in a fresh prefix (about 1,300 runs;
# tests/faults/fault-sweep.sh), then the uninstaller's over a whole
# installation (--cleanup). `make test` runs the subset of each.
faults: win32 $(if $(filter win64,$(WINE_TREE)),win64)
	@status=0; tests/faults/fault-sweep.sh $(TEST_TREE) || status=$$?; \
	  tests/faults/fault-sweep.sh $(TEST_TREE) --cleanup || status=$$?; \
	  tests/wine/setup-wine.sh $(abspath $(TEST_TREE))/wine stop; exit $$status

bench: host
	@for b in $(HOST)/bin/*_bench; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD)
