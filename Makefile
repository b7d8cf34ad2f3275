# Two entry points: `make run` builds Pelk.exe and starts it under Wine (the 32-bit
# one where this machine runs 32-bit programs, else the 64-bit one);
# `make test` builds every configuration and runs every test layer.
# `make dist` builds the release into build/dist; `make screenshots` retakes docs/img.
# `make fuzz` and `make stress` are the long runs, outside `make test`.
.PHONY: run test deps native sanitize win32 win64 winget dist screenshots fuzz stress clean

deps:
	@sh scripts/install-deps.sh

# Each configuration is a CMake preset of the same name.
native sanitize win32 win64: deps
	cmake --preset $@ >/dev/null
	cmake --build --preset $@

# Builds the Windows build that this machine's Wine runs, then starts it.
run: deps
	sh scripts/run-pelk.sh

# The zips, the installer and the Windows Installer package are part of the Windows
# builds; the winget manifests, which list the files of both, come after them.
winget: win32 win64
	cmake --build --preset win32 --target winget
dist: winget
	@ls -lR build/dist

# The pictures come from the Windows build whose Wine runs here.
screenshots: win32 win64
	@sh scripts/install-deps.sh imagemagick xdotool
	b=$$(sh scripts/pick-build.sh) && xvfb-run -a -s "-screen 0 1024x768x24" \
	  sh scripts/screenshots.sh build/$$b/bin docs/img build/$$b/wine-run

# One ctest run over the four build trees, so the summary counts every test.
test: native sanitize winget
	sh scripts/run-tests.sh

# Ten million inputs for each fuzz target, sanitized; a finding stops the run. Then the
# agenda's simulation at length: 40 seeded sequences, over a million events.
fuzz: sanitize
	PELK_SIM_SEQUENCES=40 build/sanitize/unit_tests --gtest_filter=Agenda.SimulatedMonths
	for f in fuzz_command_line fuzz_settings; do \
	  build/sanitize/$$f -runs=10000000 -max_len=12000 -rss_limit_mb=2048 -print_final_stats=1 \
	    build/sanitize/fuzz-corpus-$$f tests/fuzz/regressions/$$f || exit 1; done

# The whole program at length: saves cut off 500 times, weeks of work posted in
# compressed form, settings files of every length.
stress: win32 win64
	b=$$(sh scripts/pick-build.sh) && PELK_STRESS=1 xvfb-run -a -s "-screen 0 1024x768x24" \
	  build/$$b/wine-run build/$$b/bin/program_tests.exe --gtest_filter='Stress.*'

clean:
	rm -rf build
