# Thin wrapper over CMake:
#   make run        build the program alone and start a drill on glyphs/
#   make check      build everything and run the tests (needs GoogleTest)
#   make mutants    put the faults of mutants/table into a copy of the tree
#                   one at a time and see that the tests catch each
#   make install    install under PREFIX (default /usr/local); make uninstall
#   make deb        build the Debian packages (needs dpkg-dev and debhelper)
#   make glyphs     redraw the pictures (needs FreeType and the fonts;
#                   the toolchain in picture-tools/ is a project of its own)
BUILD ?= build
PREFIX ?= /usr/local
DESTDIR ?=
CMAKE_FLAGS ?=
ARGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

MAKEFLAGS += --no-print-directory

.PHONY: all build rilk run check install install-check uninstall glyphs \
        legibility check-pictures pictures-configured deb bench mutants clean FORCE

# A text as one word for the shell, whatever quotes or blanks it holds.
quote = '$(subst ','\'',$(1))'

CONFIGURE = cmake -S '$(CURDIR)' -B '$(BUILD)' $(CMAKE_FLAGS)
configure_quoted = '$(subst ','\'',$(CONFIGURE))'
CONFIGURED = $(BUILD)/configured
# Runs a command quietly, showing its output only when it fails.
quietly = $(1) >$(call quote,$(BUILD)/$(2).log) 2>&1 || { cat $(call quote,$(BUILD)/$(2).log) >&2; exit 1; }

all: build

# The configure step runs again whenever its command line changes (say, new
# CMAKE_FLAGS) or when the last one did not finish: the stamp is written only
# after a configure that succeeded, and a failed one leaves no cache behind.
# Changes to CMakeLists.txt are CMake's own business once it has configured.
$(BUILD)/configure-command: FORCE
	@mkdir -p '$(BUILD)'
	@printf '%s\n' $(configure_quoted) | cmp -s - $@ || printf '%s\n' $(configure_quoted) > $@

$(CONFIGURED): $(BUILD)/configure-command
	@rm -f $@
	@$(CONFIGURE) >'$(BUILD)/configure.log' 2>&1 || \
	  { cat '$(BUILD)/configure.log' >&2; rm -f '$(BUILD)/CMakeCache.txt'; exit 1; }
	@touch $@

# A package found missing by the last configure (GoogleTest) is
# looked for again, in case it has been installed since.
refind-%: $(CONFIGURED)
	@if [ -e '$(BUILD)/missing-$*' ]; then $(call quietly,$(CONFIGURE),configure); fi

missing = $(shell cat '$(BUILD)/missing-$(1)' 2>/dev/null)

build: $(CONFIGURED)
	@cmake --build '$(BUILD)' -j $(JOBS)

# Only the program, quietly; the build's output is shown if it fails.
rilk: $(CONFIGURED)
	@test -x '$(BUILD)/rilk' || echo "Building rilk (a few seconds)..."
	@$(call quietly,cmake --build '$(BUILD)' -j $(JOBS) --target rilk,build)

# A drill on the pictures bundled in the repository; more options with
# ARGS="...". Ctrl-C, which ends the drill, ends make quietly.
run: rilk
	@trap 'exit 0' INT; '$(BUILD)/rilk' -p '$(CURDIR)/glyphs' $(ARGS)

# The tests get a temporary directory of their own, which they must leave
# empty.
check: refind-googletest
	$(if $(call missing,googletest),$(error make check needs GoogleTest: apt-get install $(call missing,googletest)))
	@cmake --build '$(BUILD)' -j $(JOBS)
	@rm -rf '$(BUILD)/test-tmp' && mkdir '$(BUILD)/test-tmp'
	@cd '$(BUILD)' && TMPDIR='$(abspath $(BUILD))/test-tmp' ctest --output-on-failure -j $(JOBS)
	@left=$$(ls -A '$(BUILD)/test-tmp'); if [ -n "$$left" ]; then \
	  echo "make check: the tests left files in their temporary directory: $$left" >&2; exit 1; fi
	@rmdir '$(BUILD)/test-tmp'

# Each fault of mutants/table in turn, in a copy of the tree under
# $(BUILD)/mutants; a line per fault and "mutants: caught C of V".
mutants:
	@JOBS='$(JOBS)' mutants/run '$(BUILD)'

# The picture toolchain is a CMake project of its own (picture-tools/), built
# beside the program's build; it needs FreeType and the typefaces.
PICTURE_BUILD = $(BUILD)/pictures
pictures-configured: FORCE
	@mkdir -p '$(PICTURE_BUILD)'
	@test -f '$(PICTURE_BUILD)/CMakeCache.txt' || \
	  $(call quietly,cmake -S '$(CURDIR)/picture-tools' -B '$(PICTURE_BUILD)' $(CMAKE_FLAGS),pictures-configure)

glyphs: pictures-configured
	@cmake --build '$(PICTURE_BUILD)' -j $(JOBS) --target glyphs

# How well the pictures read on screen, against fine drawings of the typefaces
# (a tool for choosing faces, not a test); more options with ARGS="...".
legibility: pictures-configured
	@cmake --build '$(PICTURE_BUILD)' -j $(JOBS) --target legibility
	'$(PICTURE_BUILD)/legibility' -p '$(CURDIR)/glyphs' $(ARGS)

# The toolchain's own tests: its choice of faces, and that it draws the
# committed pictures.
check-pictures: pictures-configured
	@cmake --build '$(PICTURE_BUILD)' -j $(JOBS)
	@cd '$(PICTURE_BUILD)' && ctest --output-on-failure -j $(JOBS)

# Installing into a place the user may not write fails before anything is
# copied, with one line that says where.
install: install-check rilk
	@$(call quietly,DESTDIR=$(call quote,$(DESTDIR)) cmake --install $(call quote,$(BUILD)) \
	  --prefix $(call quote,$(PREFIX)),install)
	@printf 'Installed rilk under %s (make uninstall removes it)\n' $(call quote,$(DESTDIR)$(PREFIX))

# The first place on the way to each install folder that exists but may not
# be written; the folders are the layout's, which CMake writes down.
unwritable = $(shell sed 's/^[a-z]* //' $(call quote,$(BUILD)/install-dirs) | while read -r d; do \
  p=$(call quote,$(DESTDIR)$(PREFIX))/$$d; while [ ! -e "$$p" ]; do p=$$(dirname "$$p"); done; \
  if [ ! -d "$$p" ] || [ ! -w "$$p" ]; then echo "$$p"; break; fi; done)

install-check: $(CONFIGURED)
	$(if $(unwritable),$(error make install: cannot write to $(unwritable); run it as root or choose another PREFIX, such as PREFIX=$$HOME/.local))

uninstall:
	@cmake -DMANIFEST=$(call quote,$(BUILD)/install_manifest.txt) \
	  -DLAYOUT=$(call quote,$(BUILD)/install-dirs) -P tools/uninstall.cmake

# The Debian source and binary packages, built as Debian builds them
# (dpkg-buildpackage and debhelper) in a copy of the sources,
# $(DEB_DIR)/rilk-<version>/, so that no build folder gets into the source
# package; the packages, .buildinfo and .changes land in $(DEB_DIR). Every
# file of the copy is dated by the changelog, as an unpacked source package
# would be, so that two copies made at two times give the same package.
# DEB_BUILD_OPTIONS=nocheck leaves the tests out.
DEB_DIR ?= $(BUILD)-deb
deb:
	@command -v dpkg-buildpackage >/dev/null && command -v dh >/dev/null || \
	  { echo "make deb needs dpkg-dev and debhelper: apt-get install dpkg-dev debhelper" >&2; exit 1; }
	@version=$$(dpkg-parsechangelog -S Version) && \
	  date=$$(dpkg-parsechangelog -S Timestamp) && \
	  src='$(DEB_DIR)'/rilk-$$version && \
	  rm -rf '$(DEB_DIR)' && mkdir -p "$$src" && \
	  tar -c --exclude-vcs --exclude='./build*' --exclude='./obj-*' --exclude='./*.deb' \
	    --mtime=@$$date . | tar -x -C "$$src" && \
	  echo "Building the Debian package in $$src (log: $(DEB_DIR)/build.log)..." && \
	  (cd "$$src" && dpkg-buildpackage -us -uc -j$(JOBS)) >'$(DEB_DIR)/build.log' 2>&1 || \
	  { tail -40 '$(DEB_DIR)/build.log' >&2; echo "make deb failed: see $(DEB_DIR)/build.log" >&2; exit 1; }
	@cd '$(DEB_DIR)' && ls *.deb *.changes *.dsc *.tar.* | sed 's|^|$(DEB_DIR)/|'

bench:
	bench/run

clean:
	rm -rf '$(BUILD)' '$(DEB_DIR)'
