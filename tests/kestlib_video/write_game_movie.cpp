// Writes the movie of the movie test game: two seconds of 160 x 120 at 25
// frames a second, red then blue, with a tone.
//   write_game_movie PATH
#include <cstdio>
#include <string>

#include "kestlib_video/movie_builder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PATH\n", argv[0]);
    return 2;
  }
  std::string error;
  if (kesttest::WriteMovie(argv[1], {"mpeg", "mpeg1video", "mp2"}, &error)) return 0;
  std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
  return 1;
}
