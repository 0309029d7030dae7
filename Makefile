# Two commands do everything on a fresh Debian machine (see README.md):
#   make run    - builds, then runs the utility under Wine against simulated devices
#   make test   - builds, then runs every test (native and under Wine)
# Both install what they need first (tools/setup.sh, needs root). For a release,
# make dist builds the Windows programs, then the MSI and the portable zip into dist/.

NATIVE := build/native
WIN    := build/win
GEN    := $(shell command -v ninja >/dev/null 2>&1 && echo -G Ninja)

.PHONY: setup build native win test run bench dist clean

setup:
	@bash tools/setup.sh

native: setup
	cmake -S . -B $(NATIVE) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(NATIVE) -j$$(nproc)

win: setup
	cmake -S . -B $(WIN) $(GEN) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake
	cmake --build $(WIN) -j$$(nproc)

# One ctest run covers both builds: build/CTestTestfile.cmake lists the two trees.
build: native win
	@printf 'subdirs("native" "win")\n' > build/CTestTestfile.cmake

test: build
	@tools/lab clean
	@tools/lab prefix
	ctest --test-dir build --output-on-failure -j2 --timeout 900

run: build
	@tools/run-utility

bench: build
	@tools/bench

# The packages for users: packaging/make-packages, from the Windows build.
dist: win
	@packaging/make-packages $(WIN) dist

clean:
	rm -rf build dist
