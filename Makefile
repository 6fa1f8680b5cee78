# SPDX-License-Identifier: GPL-3.0-or-later
# Two commands on a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
BUILD_ASAN ?= build-asan
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: run test sanitize bench bench-processus bench-demarrage bench-lot build deps install package clean format

deps:
	./scripts/installer_dependances.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/orvane

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 1

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer; any report fails.
sanitize: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug -DORVANE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	cd $(BUILD_ASAN) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_odr_violation=0:fast_unwind_on_malloc=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$(CURDIR)/scripts/ubsan.supp \
	  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 1

bench: build
	cmake --build $(BUILD) --target orvane_bench -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/orvane_bench

# Whole-process time of the command line against a matplotlib script drawing the same PNG.
bench-processus: build
	./bench/comparer_processus.sh ./$(BUILD)/orvane

# 200 PNGs from one batch file, against a shell loop of single runs and the matplotlib script.
bench-lot: build
	./bench/comparer_lot.sh ./$(BUILD)/orvane

# Start-up of the window, from the process's start to its first painted frame.
bench-demarrage: build
	./bench/mesurer_demarrage.sh ./$(BUILD)/orvane

install: build
	cmake --install $(BUILD)

# The Debian package orvane_<version>_<arch>.deb, written into $(BUILD).
package: build
	cmake --build $(BUILD) --target package

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD_ASAN)
