// The one entry point of the image tool's two engine libraries: the texts library (exiv2 alone)
// for runs that only set or remove texts, the engine library (libvips and exiv2) for every other
// run the header reader cannot answer alone. The tool loads one of them, only then.
#pragma once

// Runs the whole tool on `argv` as its main would and returns the exit status.
extern "C" int lensbrook_sips_engine_main(int argc, char** argv);

namespace lensbrook::sips {

inline constexpr const char* kEngineLibrary = "libsips_engine.so";
inline constexpr const char* kTextsLibrary = "libsips_texts.so";
inline constexpr const char* kEngineEntry = "lensbrook_sips_engine_main";

}  // namespace lensbrook::sips
