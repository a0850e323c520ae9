# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD_RELEASE ?= build/release
BUILD_TEST    ?= build/test
BUILD_TSAN    ?= build/tsan
BUILD_FUZZ    ?= build/fuzz
BUILD_BENCH   ?= build/bench
JOBS          ?= $(shell nproc)
FUZZ_SECONDS  ?= 60
CMAKE_COMMON  := -G Ninja -Wno-dev

.PHONY: deps build run test tsan fuzz bench clean

deps:
	@bash scripts/deps.sh

build: deps
	@cmake -S . -B $(BUILD_RELEASE) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DKORCAM_TESTS=OFF >/dev/null
	@cmake --build $(BUILD_RELEASE) --target korcam -j $(JOBS)

run: build
	@$(BUILD_RELEASE)/app/korcam

# The sanitised tree: -Og with line tables (-g1) compiles in about half the time of -O1 -g and
# gives objects half the size, and sanitizer reports still name every function, file and line.
SANITISED_FLAGS := -Og -g1

test: deps
	@cmake -S . -B $(BUILD_TEST) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS_DEBUG="$(SANITISED_FLAGS)" -DCMAKE_C_FLAGS_DEBUG="$(SANITISED_FLAGS)" -DKORCAM_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD_TEST) -j $(JOBS)
	@cd $(BUILD_TEST) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The cross-thread tests under ThreadSanitizer.
tsan: deps
	@cmake -S . -B $(BUILD_TSAN) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DKORCAM_TSAN=ON >/dev/null
	@cmake --build $(BUILD_TSAN) -j $(JOBS)
	@cd $(BUILD_TSAN) && ctest --output-on-failure -j $(JOBS) -L threads

# The real fuzzers (clang, libFuzzer), each for FUZZ_SECONDS, one after the other; a finding in
# one does not stop the others, and the summary names them. What reaches new code joins the saved
# corpus through a merge (see fuzz/run_fuzzers.sh); findings stay under $(BUILD_FUZZ)/findings.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKORCAM_FUZZ=ON -DKORCAM_TESTS=OFF >/dev/null
	@cmake --build $(BUILD_FUZZ) --target fuzzers -j $(JOBS)
	@bash fuzz/run_fuzzers.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

bench: deps
	@cmake -S . -B $(BUILD_BENCH) $(CMAKE_COMMON) -DCMAKE_BUILD_TYPE=Release -DKORCAM_TESTS=OFF \
	  -DKORCAM_BENCH=ON >/dev/null
	@cmake --build $(BUILD_BENCH) -j $(JOBS)
	@for exe in $(BUILD_BENCH)/bench/bench_*; do [ -x "$$exe" ] && $$exe; done; true

clean:
	rm -rf build
