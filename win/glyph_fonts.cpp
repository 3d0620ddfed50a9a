#include "win/glyph_fonts.h"

#include <algorithm>
#include <optional>
#include <set>

namespace quill {

namespace {

// Faces known to cover whole scripts, asked before the rest: Windows' own
// CJK, Korean and pan-Unicode faces, then those of free systems.
constexpr const wchar_t* kLikelyFaces[] = {
    L"Microsoft YaHei", L"SimSun",        L"Microsoft JhengHei", L"MS Gothic",
    L"Yu Gothic",       L"Malgun Gothic", L"Arial Unicode MS",   L"Segoe UI Symbol",
    L"Noto Sans CJK SC", L"Noto Sans CJK JP", L"WenQuanYi Micro Hei", L"WenQuanYi Zen Hei",
    L"Droid Sans Fallback", L"Noto Sans", L"DejaVu Sans"};

constexpr WORD kNoGlyph = 0xFFFF;

bool NeverMissing(wchar_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return true;        // controls, line breaks, tabs
  if (c >= 0xD800 && c <= 0xDFFF) return true;                 // surrogate halves
  if ((c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) ||
      c == 0xFEFF || c == 0x00AD) {
    return true;  // zero-width and direction marks
  }
  return false;
}

// Whether the font selected into dc has a glyph for c.
std::size_t CountDrawn(HDC dc, std::wstring_view characters) {
  if (characters.empty()) return 0;
  std::vector<WORD> glyphs(characters.size());
  if (GetGlyphIndicesW(dc, characters.data(), static_cast<int>(characters.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
    return 0;
  }
  return static_cast<std::size_t>(
      std::count_if(glyphs.begin(), glyphs.end(), [](WORD g) { return g != kNoGlyph; }));
}

int CALLBACK AddFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM list) {
  // Vertical faces ("@...") and raster fonts draw nothing a control wants.
  if (font->lfFaceName[0] != L'@' && (type & TRUETYPE_FONTTYPE) != 0) {
    reinterpret_cast<std::set<std::wstring>*>(list)->insert(font->lfFaceName);
  }
  return 1;
}

// Every face to ask, the likely ones first.
std::vector<std::wstring> CandidateFaces(HDC dc) {
  std::set<std::wstring> installed;
  LOGFONTW any{};
  any.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(dc, &any, AddFace, reinterpret_cast<LPARAM>(&installed), 0);
  std::vector<std::wstring> faces;
  for (const wchar_t* face : kLikelyFaces) {
    if (installed.erase(face) != 0) faces.emplace_back(face);
  }
  faces.insert(faces.end(), installed.begin(), installed.end());
  return faces;
}

ScopedFont FontLike(HFONT base, const std::wstring& face) {
  LOGFONTW font{};
  if (GetObjectW(base, sizeof font, &font) != sizeof font) font.lfHeight = 0;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  return ScopedFont(CreateFontIndirectW(&font));
}

// The blocks text's characters fall in, as one key.
std::wstring BlocksOf(std::wstring_view characters) {
  std::set<wchar_t> blocks;
  for (const wchar_t c : characters) blocks.insert(static_cast<wchar_t>(c >> 7));
  return std::wstring(blocks.begin(), blocks.end());
}

}  // namespace

std::wstring MissingGlyphs(HDC dc, HFONT font, std::wstring_view text) {
  std::wstring asked;
  std::set<wchar_t> seen;
  for (const wchar_t c : text) {
    if (!NeverMissing(c) && seen.insert(c).second) asked.push_back(c);
  }
  if (asked.empty() || dc == nullptr) return {};
  std::vector<WORD> glyphs(asked.size());
  const HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  const DWORD got = GetGlyphIndicesW(dc, asked.data(), static_cast<int>(asked.size()),
                                     glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, old);
  if (got == GDI_ERROR) return {};
  std::wstring missing;
  for (std::size_t i = 0; i < asked.size(); ++i) {
    if (glyphs[i] == kNoGlyph) missing.push_back(asked[i]);
  }
  return missing;
}

std::wstring FaceForGlyphs(HDC dc, HFONT base, std::wstring_view characters) {
  std::wstring best;
  std::size_t bestCount = 0;
  if (characters.empty() || dc == nullptr) return best;
  for (const std::wstring& face : CandidateFaces(dc)) {
    const ScopedFont font = FontLike(base, face);
    if (!font) continue;
    const HGDIOBJ old = SelectObject(dc, font.get());
    // A face the system replaced by another is not the one asked for.
    wchar_t realised[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, realised);
    const std::size_t drawn = lstrcmpiW(realised, face.c_str()) == 0 ? CountDrawn(dc, characters) : 0;
    SelectObject(dc, old);
    if (drawn > bestCount) {
      best = face;
      bestCount = drawn;
      if (drawn == characters.size()) break;
    }
  }
  return best;
}

HFONT GlyphFonts::FontFor(HDC dc, HFONT base, std::wstring_view text) {
  if (base != base_) {
    Reset();
    base_ = base;
  }
  std::optional<ScopedGetDC> screen;
  if (dc == nullptr) screen.emplace(nullptr);
  const HDC asking = dc != nullptr ? dc : screen->get();
  const std::wstring missing = MissingGlyphs(asking, base, text);
  if (missing.empty()) return base;
  const std::wstring blocks = BlocksOf(missing);
  auto known = faceByBlocks_.find(blocks);
  if (known == faceByBlocks_.end()) {
    known = faceByBlocks_.emplace(blocks, FaceForGlyphs(asking, base, missing)).first;
  }
  if (known->second.empty()) return base;
  const HFONT font = FontOfFace(base, known->second);
  return font != nullptr ? font : base;
}

HFONT GlyphFonts::FontOfFace(HFONT base, const std::wstring& face) {
  auto made = fontByFace_.find(face);
  if (made == fontByFace_.end()) made = fontByFace_.emplace(face, FontLike(base, face)).first;
  return made->second.get();
}

void GlyphFonts::Reset() {
  base_ = nullptr;
  faceByBlocks_.clear();
  fontByFace_.clear();
}

}  // namespace quill
