// Writes the tiny movies that seed the movie fuzz target:
//   write_movie_seeds FOLDER
#include <cstdio>
#include <string>

#include "kestlib_video/movie_builder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  struct {
    const char* file;
    kesttest::TMoviePlan plan;
  } const seeds[] = {
      {"tiny.mpg", {"mpeg", "mpeg1video", "mp2", 32, 24, 25, 4}},
      {"tiny.avi", {"avi", "msmpeg4v2", nullptr, 32, 24, 25, 4}},
      {"tiny.wmv", {"asf", "wmv2", "wmav2", 32, 24, 25, 4}},
  };
  int failed = 0;
  for (const auto& seed : seeds) {
    std::string error;
    if (!kesttest::WriteMovie(std::string(argv[1]) + "/" + seed.file, seed.plan, &error)) {
      std::fprintf(stderr, "%s: %s\n", seed.file, error.c_str());
      failed = 1;
    }
  }
  return failed;
}
