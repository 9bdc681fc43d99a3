# The two commands of the README:
#   make run   - install what is missing, build in Release and start the editor
#   make test  - install what is missing, build with AddressSanitizer and
#                UndefinedBehaviorSanitizer and run every test through CTest
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test deps release asan bench clean

deps:
	@tools/install-deps.sh

release: deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j $(JOBS)

run: release
	./build/release/bin/velmora

asan: deps
	cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON
	cmake --build build/asan -j $(JOBS)

test: asan
	cd build/asan && ctest --output-on-failure -j $(JOBS)

bench: release
	@tools/install-deps.sh bench
	cmake -S . -B build/release
	cmake --build build/release --target velmora_bench velmora_history_bench -j $(JOBS)
	./build/release/bin/velmora_bench
	./build/release/bin/velmora_history_bench

clean:
	rm -rf build
