# Two entry points: `make run` builds Pelk.exe and starts it under Wine;
# `make test` builds every configuration and runs every test layer.
# `make dist` builds the release into build/dist; `make screenshots` retakes docs/img.
.PHONY: run test deps native sanitize win32 dist screenshots clean

deps:
	@sh scripts/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

sanitize: deps
	cmake --preset sanitize >/dev/null
	cmake --build --preset sanitize

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

run: win32
	sh scripts/run-pelk.sh

# The zip and the installer are part of the win32 build.
dist: win32
	@ls -l build/dist

screenshots: win32
	@sh scripts/install-deps.sh imagemagick xdotool
	WINEPREFIX=$(CURDIR)/build/run-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
	  xvfb-run -a -s "-screen 0 1024x768x24" sh tests/screens/screenshots.sh build/win32/bin docs/img

# One ctest run over the three build trees, so the summary counts every test.
test: native sanitize win32
	sh scripts/run-tests.sh

clean:
	rm -rf build
