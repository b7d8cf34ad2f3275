# Two entry points: `make run` builds Pelk.exe and starts it under Wine;
# `make test` builds every configuration and runs every test layer.
.PHONY: run test deps native sanitize win32 wineprefix clean

WINE_RUN := build/win32/wine-run

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

# One ctest run over the three build trees, so the summary counts every test.
test: native sanitize win32
	sh scripts/run-tests.sh

clean:
	rm -rf build
