# Two commands do everything on a fresh Debian machine (see README.md):
#   make run    - builds, then runs the utility under Wine against simulated devices
#   make test   - builds, then runs every test (native, sanitized and under Wine); CI runs it
# and the fast loop between edits:
#   make check  - builds, then runs the unit and GUI tiers of the tests only: no lab, no root
#   make fuzz   - builds the fuzz targets, then runs each for its full budget (tools/fuzz)
#   make guide  - builds, then takes the user guide's pictures again (tools/guide-pictures)
# Each installs what it needs first (tools/setup.sh, needs root). For a release,
# make dist builds the shipped programs only, then the MSI and the portable zip (both with
# the user guide as HTML) into dist/, and with KAVRON_RELEASE_URL=https://.../VERSION the
# winget and Scoop manifests for them; signed given KAVRON_SIGN_* (packaging/README.md).

NATIVE   := build/native
WIN      := build/win
SANITIZE := build/sanitize
GEN      := $(shell command -v ninja >/dev/null 2>&1 && echo -G Ninja)

WIN_CONFIG := -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake

.PHONY: setup build native win sanitize test check run guide bench soak fuzz dist clean

setup:
	@bash tools/setup.sh

native: setup
	cmake -S . -B $(NATIVE) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(NATIVE) -j$$(nproc)

win: setup
	cmake -S . -B $(WIN) $(GEN) $(WIN_CONFIG)
	cmake --build $(WIN) -j$$(nproc)

# The native parts again, with AddressSanitizer and UndefinedBehaviorSanitizer (clang),
# and the fuzz targets of the protocol library.
sanitize: setup
	cmake -S . -B $(SANITIZE) $(GEN) -C cmake/sanitize-tree.cmake
	cmake --build $(SANITIZE) -j$$(nproc)

# One ctest run covers every build: build/CTestTestfile.cmake lists the three trees.
build: native win sanitize
	@printf 'subdirs("native" "win" "sanitize")\n' > build/CTestTestfile.cmake

test: build
	@lab/lab clean
	@lab/lab prefix
	ctest --test-dir build --output-on-failure -j2 --timeout 900

# The tiers of cmake/KavronTests.cmake: unit and gui need neither the lab nor root.
check: build
	@lab/lab prefix
	ctest --test-dir build --output-on-failure -j2 --timeout 900 -L '^(unit|gui)$$'

run: build
	@tools/run-utility

# The user guide's pictures (docs/guide/pictures): the real windows in a lab, as root
# like make run; the native tree gives the simulator, the Windows tree the programs.
guide: native win
	@tools/guide-pictures

bench: build
	@tools/bench

# SOAK_ITERATIONS (1000) sets the length of the long run.
soak: build
	@tools/soak

# FUZZ_RUNS (executions per target, default 10 million) or FUZZ_SECONDS change the budget.
fuzz: setup
	@tools/fuzz

# The packages for users: packaging/make-packages, from the Windows tree's target
# `shipped` (the two programs and what they are made of, nothing of the lab or tests).
dist: setup
	cmake -S . -B $(WIN) $(GEN) $(WIN_CONFIG)
	cmake --build $(WIN) --target shipped -j$$(nproc)
	@packaging/make-packages $(WIN) dist

clean:
	rm -rf build dist
