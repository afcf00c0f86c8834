#pragma once

// The instructions a keystroke costs, counted by valgrind's callgrind: unlike times on the wall clock
// they stay the same however busy the machine is, so the ratio to the plain QPlainTextEdit holds under
// any load. For each editor the benchmark runs itself under callgrind with instrumentation off while the
// script is made and opened; in each place it types one key apart (the first after moving the caret),
// then counts keys typed and deleted again, painted both ways, and dumps the count of each place.
//
//   build/bin/editor_open_and_type_bench --instructions
namespace KeystrokeInstructions
{

// As the program's main: the parent that runs the editors under callgrind and prints the table, or
// (with "child <editor>") one of those runs.
int run(int argc, char **argv);

} // namespace KeystrokeInstructions
