# The two set-up commands of the README, and a few more for developers.
#   make run    install packages, build the programs, install a fresh master database if none, start Lumidesk
#   make test   install packages, build, run every test through ctest
BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: run test build programs deps bench fuzz format clean

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# The programs alone: a first start does not wait for the tests to build.
programs: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target programs

run: programs
	bash scripts/install-master-db.sh $(BUILD)/data/lumimaster.mdb
	$(BUILD)/lumidesk/lumidesk

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)
	cmake --build $(BUILD)-bench -j $(JOBS)
	bash bench/run.sh $(BUILD)-bench

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -G Ninja -DLUMIVANE_FUZZ=ON $(CMAKE_ARGS)
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target fuzzers
	bash scripts/run-fuzzers.sh $(BUILD)-fuzz

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-fuzz
