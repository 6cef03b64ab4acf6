#pragma once

// The profile file's byte transform: a random printable prefix, the marker
// 'z', then the data, every byte rotated right by two bits and XORed with a
// fixed key. Not encryption: it only keeps passwords out of plain sight.

// Writes the scrambled form of the n bytes at in into out (capacity bytes,
// zero-filled first). Returns the scrambled length, or -1 when out is too
// small. Callers pass a capacity of n + 17.
int zel_enc_scramble(unsigned char* out, int capacity, int n, const unsigned char* in);

// Decodes the n bytes at in and writes what follows the first decoded 'z'
// into out (capacity bytes, zero-filled first); input without a 'z' is
// decoded whole. Returns the output length, or -1 when out is too small.
int zel_dec_scramble(const unsigned char* in, int capacity, int n, unsigned char* out);
