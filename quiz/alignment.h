// The letter-alignment count of two texts.
#pragma once

int count_aligned_matches(const char* first, const char* second, int shift);
int best_alignment(const char* first, const char* second);
