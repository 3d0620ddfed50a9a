// What the About box and the web-page command say about the product.
#pragma once

#include "quill_version.h"

namespace quill {

inline constexpr char kProductName[] = "Orvelle Quillpad";
inline constexpr char kProductVersionLine[] = "Version " QUILL_VERSION_TEXT;
inline constexpr char kProductRights[] = "Copyright (C) 2025-2026 Orvelle";
inline constexpr char kProductMaker[] = "Orvelle Reference Software";
inline constexpr char kProductWebAddress[] = "http://www.orvelle.example/quillpad/";
inline constexpr char kProductReserved[] = "All rights reserved.";

}  // namespace quill
