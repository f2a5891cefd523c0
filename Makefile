# User entry point. `make test` installs what is missing (as root), then builds and
# runs the whole suite in the plain, ASan+UBSan and TSan builds. `make demo` runs the
# command-line host on its built-in scenario.

PRESETS := default asan tsan
DEB_PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev \
                libbenchmark-dev nlohmann-json3-dev binutils
JOBS ?= $(shell nproc)

.PHONY: all deps build demo test $(addprefix test-,$(PRESETS)) clean format

all: build

deps:
	@missing=""; \
	for p in $(DEB_PACKAGES); do \
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

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# Plays the built-in scenario: two cameras, alarms, detections, a wrong password.
demo: build
	build/default/host/cli/korvane_host --log build/default/korvane_host.log

# One rule per preset: make does not search pattern rules for phony targets.
define PRESET_TEST_RULE
test-$(1): deps
	cmake --preset $(1)
	cmake --build --preset $(1) -j $$(JOBS)
	ctest --preset $(1) -j $$(JOBS)
endef
$(foreach preset,$(PRESETS),$(eval $(call PRESET_TEST_RULE,$(preset))))

test: $(addprefix test-,$(PRESETS))

format:
	find metadata_sdk plugin host ostrel_sdk tests -name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf build
