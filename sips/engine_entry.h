// The one entry point of the image tool's engine library (everything that needs libvips and
// exiv2). The tool loads the library only for runs its header reader cannot answer alone.
#pragma once

// Runs the whole tool on `argv` as its main would and returns the exit status.
extern "C" int lensbrook_sips_engine_main(int argc, char** argv);

namespace lensbrook::sips {

inline constexpr const char* kEngineLibrary = "libsips_engine.so";
inline constexpr const char* kEngineEntry = "lensbrook_sips_engine_main";

}  // namespace lensbrook::sips
