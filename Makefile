# Terminal maintenance programs: build, test and demonstrate on a virtual terminal.
#   make setup   install the toolchain and Wine from Debian's packages (as root)
#   make build   the shipped programs in build/bin (32-bit), and the build the
#                virtual terminal runs, with its tools and tests, in build/terminal;
#                runs make setup first when the cross compiler, Wine or Xvfb is
#                missing, and so does every command below
#   make test    every test, in one ctest run, on virtual terminals
#   make demo    the programs at work on a virtual terminal; report, event log
#                and screenshots in build/demo
#   make bench   one table: footprint of the shipped programs against their
#                budgets and every benchmark's result (bench/run)
#   make dist    the zip of the programs, examples and guide, in build/dist

SHELL := /bin/bash
JOBS ?= $(shell nproc)
TERMINAL_ARCH = $(shell testbed/vt arch)
PACKAGES := g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev \
            g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
            wine wine32:i386 wine64 xvfb xauth imagemagick cmake ninja-build \
            googletest python3 procps locales

.PHONY: setup tools build test demo bench dist clean

setup:
	@if ! dpkg --print-foreign-architectures | grep -qx i386; then dpkg --add-architecture i386; fi
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' "$$p" 2>/dev/null | grep -q 'ok installed' || echo "$$p"; done); \
	if [ -n "$$missing" ]; then \
		echo "setup: installing $$missing"; \
		apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	else echo "setup: everything is installed"; fi

# The cross compiler, Wine and Xvfb: the build needs the first, and the width
# of the terminal's build (vt arch) depends on which Wine is installed, so
# everything that builds makes sure of all three first.
tools:
	@command -v i686-w64-mingw32-g++-posix >/dev/null && command -v Xvfb >/dev/null && \
	  command -v wine >/dev/null || $(MAKE) setup

# configure FOLDER ARCH TESTS: a configure that fails (no compiler, say) takes
# its half-made cache away with it, so that the next run starts afresh.
define configure
	cmake -S . -B $(1) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-toolchain.cmake \
	      -DMINGW_ARCH=$(2) -DVT_TESTS=$(3) || { rm -rf $(1)/CMakeCache.txt $(1)/CMakeFiles $(1)/build.ninja; exit 1; }
endef

build/build.ninja: | tools
	$(call configure,build,i686,OFF)

build/terminal/build.ninja: | tools
	$(call configure,build/terminal,$(TERMINAL_ARCH),ON)

build: tools build/build.ninja build/terminal/build.ninja
	cmake --build build -j $(JOBS)
	cmake --build build/terminal -j $(JOBS)

test: build
	cd build/terminal && ctest --output-on-failure -j $(JOBS)

demo: build
	testbed/demo

bench: build
	bench/run

dist: build
	python3 packaging/make_dist.py

clean:
	rm -rf build
