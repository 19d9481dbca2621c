# The front door. `make test` and `make demo` work on a fresh Debian 12 machine as root.
.PHONY: all deps build native win32 test test-native test-win32 demo dist bench bench-installer bench-first-page format clean

all: build

# KQ_WERROR=ON (CI sets it) makes every warning in the project's own code an error.
configure_flags = $(if $(KQ_WERROR),-DKQ_WERROR=$(KQ_WERROR))

deps:
	@scripts/deps.sh

build: native win32

native: deps
	@cmake --preset native $(configure_flags) >/dev/null
	@cmake --build --preset native

win32: deps
	@cmake --preset win32 $(configure_flags) >/dev/null
	@cmake --build --preset win32

# The Wine tests spend much of their time waiting for windows: the fuzz smoke (build and run) goes
# on beside them, and its report follows theirs.
test: build
	@ctest --preset native
	@log=$$(mktemp); scripts/fuzz --smoke >"$$log" 2>&1 & fuzz=$$!; \
	ctest --preset win32; wine=$$?; wait $$fuzz; smoke=$$?; cat "$$log"; rm -f "$$log"; \
	[ $$wine = 0 ] && [ $$smoke = 0 ]

test-native: native
	@ctest --preset native

test-win32: win32
	@ctest --preset win32

# Only what the demo needs: its packages, Setup.exe with the packed demo product, the driver.
demo:
	@scripts/deps.sh demo
	@cmake --preset win32 $(configure_flags) >/dev/null
	@cmake --build --preset win32 --target demo_setup_dat kqdriver
	@scripts/demo.sh $(DEMO_LANG)

# What a vendor ships: the stripped Setup.exe and its debug file, the packer, zipx and lngexport
# for Linux and Windows, VENDOR.md and SHA256SUMS, in dist/ (the same bytes from any build folder).
dist: deps
	@scripts/dist.sh

# zipx against the other extractors, the decoders against zlib and libdeflate (minutes; not part
# of test). As root it installs the peers it needs.
bench: deps
	@bench/run

# Setup.exe installing 10,000 tiny files under Wine against zipx.exe extracting them (as root).
bench-installer: deps
	@bench/installer

# Setup.exe's start to its first page painted under Wine, against an empty window program.
bench-first-page: deps
	@bench/first_page

format:
	@scripts/deps.sh format
	@git ls-files '*.cpp' '*.h' | xargs clang-format-15 -i

clean:
	rm -rf build
