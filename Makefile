# User entry point. `make test` installs what is missing (as root), then builds and
# runs the whole suite in the plain, ASan+UBSan and TSan builds, in the Windows build
# (cross-compiled with MinGW-w64, run under Wine) and in the 64-bit ARM Linux build
# (cross-compiled with aarch64 GCC, run under qemu-aarch64). `make demo` runs the
# command-line host on its built-in scenario, `make demo-live` watches simulated cameras in
# real time (one of them restarting), `make demo-capture` captures such a watch and replays
# it; `make package` makes the Linux x86-64, Linux ARM and Windows archives.

PRESETS := default asan tsan windows linux-arm64
DEB_PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev \
                libbenchmark-dev nlohmann-json3-dev binutils \
                g++-mingw-w64-x86-64 wine wine64 lld llvm googletest clang-format \
                g++-aarch64-linux-gnu binutils-aarch64-linux-gnu qemu-user
MEMCHECK_PACKAGES := valgrind
FUZZ_TARGETS := camera_url alarm structured settings
FUZZ_SECONDS ?= 60
MEMCHECK_LOG := build/default/memcheck.log
JOBS ?= $(shell nproc)

PACKAGE_PRESETS := default windows linux-arm64
PACKAGE_DIR := build/packages

.PHONY: all deps build demo demo-live demo-capture demo-windows demo-arm64 test format-check \
        $(addprefix test-,$(PRESETS)) fuzz bench soak memcheck package clean format

all: build

# Installs the Debian packages named in $(1) that are missing (as root), or names them.
define ENSURE_PACKAGES
	@missing=""; \
	for p in $(1); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    if [ "$$(id -u)" = "0" ]; then \
	        echo "Installing missing packages:$$missing"; \
	        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	    else \
	        echo "Missing Debian packages:$$missing"; \
	        echo "Install them with: sudo apt-get install$$missing"; \
	        exit 1; \
	    fi; \
	fi
endef

deps:
	$(call ENSURE_PACKAGES,$(DEB_PACKAGES))

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# Plays the built-in scenario: cameras, alarms, detections, rules, a wrong password. The
# host runs in its build folder, so that every build prints the same report.
demo: build
	cd build/default && host/cli/korvane_host --log korvane_host.log

# Watches two simulated cameras in real time for 30 seconds, as a site watches its cameras:
# the yard camera restarts after 5 seconds, is away for 12 and comes back.
demo-live: build
	build/default/host/cli/korvane_host --simulate host/cli/demo_simulation.json --rules \
	    --seconds 30 --log build/default/korvane_host_live.log

# Watches the same simulation for 30 seconds through the recording Camera SDK (preloaded
# over the stand-in), prints the capture's summary, then replays the capture to its end.
DEMO_CAPTURE := build/default/demo_capture.jsonl
demo-capture: build
	rm -f $(DEMO_CAPTURE)
	LD_PRELOAD=$(CURDIR)/build/default/sdk_recorder/libOstrelSDK.so \
	KORVANE_SDK_CAPTURE=$(CURDIR)/$(DEMO_CAPTURE) \
	    build/default/host/cli/korvane_host --simulate host/cli/demo_simulation.json --rules \
	    --seconds 30 --log build/default/korvane_host_capture.log
	build/default/host/cli/korvane_host --capture-summary $(DEMO_CAPTURE)
	build/default/host/cli/korvane_host --replay $(DEMO_CAPTURE) --rules --seconds 40 \
	    --log build/default/korvane_host_replay.log

# The same scenario played by the Windows build under Wine.
demo-windows: deps
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS) --target korvane_host
	cmake/wine_run.sh build/windows build/windows/bin/korvane_host.exe \
	    --log build/windows/korvane_host.log

# The same scenario played by the 64-bit ARM Linux build under qemu-aarch64: it prints what
# `make demo` prints.
demo-arm64: deps
	cmake --preset linux-arm64
	cmake --build --preset linux-arm64 -j $(JOBS) --target korvane_host
	cd build/linux-arm64 && ../../cmake/qemu_run.sh host/cli/korvane_host --log korvane_host.log

# The versioned archives a user installs from: the plugin library, the recording Camera SDK
# (in sdk_recorder/), the field tool korvane_host (in tools/) with the Camera SDK stand-in it
# simulates cameras with (in tools/simulated_cameras/), and the guide, for
# Linux on x86-64 and on 64-bit ARM (.tar.gz) and Windows (.zip), in $(PACKAGE_DIR).
package: deps
	@for preset in $(PACKAGE_PRESETS); do \
	    cmake --preset $$preset && \
	    cmake --build --preset $$preset -j $(JOBS) --target korvane_event_analytics_plugin \
	        korvane_sdk_recorder korvane_host_for_package OstrelSDK && \
	    cpack --config build/$$preset/CPackConfig.cmake -B $(PACKAGE_DIR) || exit 1; \
	done
	@rm -rf $(PACKAGE_DIR)/_CPack_Packages
	@ls -l $(PACKAGE_DIR)

# One rule per preset: make does not search pattern rules for phony targets.
define PRESET_TEST_RULE
test-$(1): deps
	cmake --preset $(1)
	cmake --build --preset $(1) -j $$(JOBS)
	ctest --preset $(1) -j $$(JOBS)
endef
$(foreach preset,$(PRESETS),$(eval $(call PRESET_TEST_RULE,$(preset))))

test: format-check $(addprefix test-,$(PRESETS))

# Every C++ file of the project as .clang-format lays it out; fails on the first difference.
FORMAT_DIRS := metadata_sdk camera_sdk port plugin host ostrel_sdk sdk_recorder tests bench
format-check: deps
	find $(FORMAT_DIRS) -name '*.h' -o -name '*.cpp' | xargs clang-format --dry-run --Werror

# Runs every fuzz target for FUZZ_SECONDS in the ASan+UBSan build, from the seeds in
# tests/fuzz/corpus, and prints each one's executions and rate; new inputs are kept in
# build/asan/tests/fuzz/corpus_<target>.
fuzz: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	@for t in $(FUZZ_TARGETS); do \
	    echo "== $$t: $(FUZZ_SECONDS) s"; \
	    log=build/asan/tests/fuzz/$$t.log; \
	    mkdir -p build/asan/tests/fuzz/corpus_$$t; \
	    build/asan/tests/fuzz/$${t}_fuzz -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
	        -print_final_stats=1 build/asan/tests/fuzz/corpus_$$t tests/fuzz/corpus/$$t \
	        >$$log 2>&1; status=$$?; \
	    grep -E "^(stat::number_of_executed_units|stat::new_units_added)|ERROR|SUMMARY" $$log; \
	    sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1 \2/p' $$log | \
	        awk -v t=$$t '$$2 > 0 { printf "%s: %d executions in %d s, %d per second\n", t, $$1, $$2, $$1 / $$2 }'; \
	    if [ $$status -ne 0 ]; then echo "$$t failed; see $$log"; exit 1; fi; \
	done

# Google Benchmark figures of the plugin's hot paths, in nanoseconds per operation.
bench: build
	build/default/bench/korvane_bench

# A simulated hour of 64 cameras at 30 frames per second; fails when resident memory grows
# by more than 1 MiB after the warm-up or when detections or alarms go missing.
soak: build
	build/default/bench/korvane_soak

# Valgrind memcheck of the command-line host's default scenario: fails on any memory error
# and on leaked (definitely or indirectly lost) blocks.
memcheck: build
	$(call ENSURE_PACKAGES,$(MEMCHECK_PACKAGES))
	@status=0; \
	valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect \
	    --errors-for-leak-kinds=definite,indirect --track-origins=yes --error-exitcode=99 \
	    --log-file=$(MEMCHECK_LOG) \
	    build/default/host/cli/korvane_host --log build/default/memcheck_host.log \
	    >build/default/memcheck_host.txt || status=$$?; \
	tail -n 1 build/default/memcheck_host.txt; \
	if [ $$status -eq 0 ]; then sed -n '/HEAP SUMMARY/,$$p' $(MEMCHECK_LOG); else cat $(MEMCHECK_LOG); fi; \
	echo "memcheck: exit status $$status (valgrind log $(MEMCHECK_LOG))"; \
	exit $$status

format:
	find $(FORMAT_DIRS) -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf build
