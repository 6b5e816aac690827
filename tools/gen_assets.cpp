// corvane-assets OUTDIR: draws the game's pictures into OUTDIR/gfx, synthesises its sounds into
// OUTDIR/sounds and draws the desktop icons into OUTDIR/icon. Everything comes from fixed seeds, so
// every run writes the same bytes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/font.h"
#include "tools/plane.h"
#include "tools/png.h"
#include "tools/raster.h"
#include "tools/scenery.h"
#include "tools/sound.h"
#include "tools/sprites.h"

namespace {

bool Save(const std::filesystem::path& path, const art::Bitmap& bitmap) {
  if (art::WriteBmp(path.string(), bitmap)) return true;
  std::fprintf(stderr, "corvane-assets: cannot write %s\n", path.string().c_str());
  return false;
}

bool Save(const std::filesystem::path& path, const art::RgbaBitmap& bitmap) {
  if (art::WritePng(path.string(), bitmap)) return true;
  std::fprintf(stderr, "corvane-assets: cannot write %s\n", path.string().c_str());
  return false;
}

bool Save(const std::filesystem::path& path, const std::vector<int16_t>& samples) {
  if (art::WriteWav(path.string(), samples, art::kSampleRate)) return true;
  std::fprintf(stderr, "corvane-assets: cannot write %s\n", path.string().c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: corvane-assets OUTDIR\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::filesystem::path gfx = out / "gfx", sounds = out / "sounds", icon = out / "icon";
  std::error_code error;
  for (const auto& dir : {gfx, sounds, icon}) {
    std::filesystem::create_directories(dir, error);
    if (error) {
      std::fprintf(stderr, "corvane-assets: cannot create %s: %s\n", dir.string().c_str(),
                   error.message().c_str());
      return 1;
    }
  }
  bool ok = true;
  ok &= Save(gfx / "bg.bmp", art::MakeBackground());
  ok &= Save(gfx / "blank.bmp", art::MakeBlank());
  ok &= Save(gfx / "camain.bmp", art::MakeTitle());
  ok &= Save(gfx / "right.bmp", art::MakeRightPanel());
  ok &= Save(gfx / "buttons.bmp", art::MakeButtons());
  ok &= Save(gfx / "bullet.bmp", art::MakeBullets());
  ok &= Save(gfx / "plane.bmp", art::MakePlanes());
  ok &= Save(gfx / "fire.bmp", art::MakeFire());
  ok &= Save(gfx / "cloud.bmp", art::MakeCloud());
  ok &= Save(gfx / "tower.bmp", art::MakeTower());
  ok &= Save(gfx / "letters.bmp", art::MakeLetters());
  ok &= Save(gfx / "numbers.bmp", art::MakeNumbers());
  ok &= Save(icon / "corvane-altor-64.bmp", art::MakeIcon());
  // The desktop's icon theme takes PNG only, in a few sizes.
  for (int size : {32, 64, 128})
    ok &= Save(icon / ("corvane-altor-" + std::to_string(size) + ".png"), art::MakeIconPng(size));
  ok &= Save(sounds / "fire.wav", art::SynthShot());
  ok &= Save(sounds / "boom.wav", art::SynthExplosion());
  return ok ? 0 : 1;
}
