#include "app/shell.hpp"

// The command line is not read: GTK gets no arguments either.
int main() { return ph::app::program_start(); }
