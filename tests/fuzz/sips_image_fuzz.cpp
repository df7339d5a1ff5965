// Whatever a photo folder holds reaches the tool's loading path: sniffing, container parsing,
// header probing, decoding and metadata editing. Each input is probed, shrunk and cropped into
// small results, and has its texts edited without decoding.
// The optional libvips modules stay unloaded: the aim is our code, not ImageMagick's.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <vips/vips.h>

#include "sips/arguments.h"
#include "sips/metadata.h"
#include "sips/pipeline.h"

namespace {

namespace sips = lensbrook::sips;
using Kind = sips::Operation::Kind;

struct Setup {
  std::string folder, input, output;
  sips::Plan probe, shrink, crop, texts;

  Setup() {
    char pattern[] = "/tmp/sips_image_fuzz.XXXXXX";
    if (::mkdtemp(pattern) == nullptr || VIPS_INIT("sips_image_fuzz") != 0) std::abort();
    folder = pattern;
    vips_cache_set_max(0);
    vips_concurrency_set(1);
    sips::initMetadata();
    input = folder + "/input";
    output = folder + "/output";
    probe.queries = {sips::Query::PixelHeight, sips::Query::PixelWidth};
    probe.inputs = {input};
    // A resample first goes through shrink-on-load; anything else through a full decode.
    shrink.operations = {{Kind::ResampleMax, 0, 8, 8}};
    shrink.format = sips::Format::Png;
    shrink.out = output;
    crop.operations = {{Kind::FlipVertical}, {Kind::Crop, 0, 4, 4}};
    crop.format = sips::Format::Jpeg;
    crop.out = output;
    // Texts only: the bytes go to exiv2 and the PNG and GIF block walkers, never to a decoder.
    texts.metadata = {{sips::Property::Artist, "fuzz"}, {sips::Property::Copyright, std::nullopt}};
    texts.out = output;
  }

  ~Setup() {
    ::unlink(input.c_str());
    ::unlink(output.c_str());
    ::rmdir(folder.c_str());
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Setup setup;
  std::FILE* file = std::fopen(setup.input.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
  for (const sips::Plan* plan : {&setup.probe, &setup.shrink, &setup.crop, &setup.texts}) {
    (void)sips::processFile(*plan, setup.input);
    ::unlink(setup.output.c_str());
  }
  vips_error_clear();
  return 0;
}
