# Varlex: `make run` builds and starts the program; `make test` builds and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps build run test bench fidelity fuzz test-sanitize clean package

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display found: the window cannot open here. Without one, try: $(BUILD)/bin/varlex-cli list"; \
	else \
	  $(BUILD)/bin/varlex; \
	fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target benches
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" --benchmark_counters_tabular=true || exit 1; done
	bench/bench_highlight.sh $(BUILD)
	@scripts/fidelity.py --build $(BUILD)

# How closely the starter languages colour real files like kate-syntax-highlighter does, per language
# (scripts/fidelity.py; docs/starter-languages.md). FIDELITY_FLAGS=--install fetches the files' packages.
# Then how closely languages converted from GtkSourceView colour real files like GtkSourceView itself
# (scripts/fidelity-gtksourceview.py; docs/import.md), and how KDE's own definitions convert and how
# closely they then colour real files like kate-syntax-highlighter (scripts/fidelity-kde.py; skipped
# with a message when KDE's library or kate-syntax-highlighter is missing).
fidelity: build
	@scripts/fidelity.py --build $(BUILD) $(FIDELITY_FLAGS)
	@scripts/fidelity-gtksourceview.py --build $(BUILD)
	@scripts/fidelity-kde.py --build $(BUILD)

# Runs every fuzz target for FUZZ_SECONDS each, starting from its seeds in fuzz/corpus/<name>;
# what it learns stays in fuzz/corpus-work/ (not kept in git).
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DVARLEX_FUZZ=ON
	@for f in fuzz/fuzz_*.cpp; do n=$$(basename $$f .cpp); \
	  cmake --build $(BUILD)-fuzz -j $(JOBS) --target $$n || exit 1; \
	  mkdir -p fuzz/corpus-work/$$n; \
	  ASAN_OPTIONS=detect_leaks=0 $(BUILD)-fuzz/fuzz/$$n -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	    fuzz/corpus-work/$$n fuzz/corpus/$${n#fuzz_} || exit 1; \
	done

test-sanitize: deps
	cmake -S . -B $(BUILD)-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARLEX_SANITIZE=ON
	cmake --build $(BUILD)-sanitize -j $(JOBS)
	cd $(BUILD)-sanitize && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-fuzz
