# Two commands do everything on a fresh Debian machine (see README.md):
#   make run    - builds, then runs the utility under Wine against simulated devices
#   make test   - builds, then runs every test (native and under Wine)
# Both install what they need first (tools/setup.sh, needs root).

NATIVE := build/native
WIN    := build/win
GEN    := $(shell command -v ninja >/dev/null 2>&1 && echo -G Ninja)

.PHONY: setup build native win test run bench soak clean

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

# SOAK_ITERATIONS (1000) sets the length of the long run.
soak: build
	@tools/soak

clean:
	rm -rf build
