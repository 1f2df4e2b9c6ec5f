# Thin wrapper over CMake: make run, make check, make install.
BUILD ?= build
PREFIX ?= /usr/local
CMAKE_FLAGS ?=
ARGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build run check install glyphs bench clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_FLAGS)

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# A drill on the pictures bundled in the repository; more options with ARGS="...".
run: build
	./$(BUILD)/rilk -p $(CURDIR)/glyphs $(ARGS)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Redraws the pictures under glyphs/ (needs libfreetype-dev and the fonts
# that glyphs/README.md names).
glyphs: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target glyphs

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD)
