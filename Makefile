# Worktally: `make run` builds and starts the program, `make test` builds and
# runs every test, `make sanitize` runs them again on a build checked by the
# address and undefined-behaviour sanitizers, `make install` installs it for
# the user (into ~/.local; PREFIX=/usr/local and DESTDIR=/staging/folder as
# usual). Each first installs whatever Debian packages are missing.

BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release
PREFIX ?= $(HOME)/.local
DESTDIR ?=
SANITIZE_DIR ?= build-sanitize
SANITIZE_FLAGS ?= -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined

.PHONY: run test sanitize bench install setup configure

setup:
	@./scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null

run: configure
	@cmake --build $(BUILD_DIR) --target worktally -j $(JOBS)
	@if [ -n "$$DISPLAY" ]; then \
		$(BUILD_DIR)/bin/worktally; \
	else \
		echo "No display: starting Worktally on a virtual X server (xvfb-run)"; \
		xvfb-run -a $(BUILD_DIR)/bin/worktally; \
	fi

install: configure
	@cmake --build $(BUILD_DIR) --target worktally -j $(JOBS)
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

test: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Every test on a debug build in a folder of its own, where a memory error, a
# leak or undefined behaviour fails the test. No benchmarks: they would
# measure the sanitizers.
sanitize: setup
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" \
		-DWORKTALLY_BUILD_BENCHMARKS=OFF >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Speed and memory figures, each speed goal next to its floor, and at the
# end one table of every goal, read from the benchmarks' JSON results.
BENCH_RESULTS = $(BUILD_DIR)/bench/results
bench: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@rm -rf $(BENCH_RESULTS) && mkdir -p $(BENCH_RESULTS)
	@cd $(BUILD_DIR)/bench && for b in ./*_bench; do \
		$$b --benchmark_out=results/$${b#./}.json --benchmark_out_format=json; done
	@python3 bench/goal_table.py $(BENCH_RESULTS)/*.json
