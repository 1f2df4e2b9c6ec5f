// The usage and version texts, printed to the output stream.
#pragma once

void print_usage();
void print_version();
