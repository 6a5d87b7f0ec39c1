// ReadBitmapFontDescription: fills a BitmapFont from its description, an XML text of this shape
// (other elements and attributes are not read):
//
//   <font>
//     <common lineHeight="15" base="12" .../>
//     <chars ...>
//       <char id="65" x="1" y="1" width="6" height="9" xoffset="0" yoffset="3" xadvance="7" .../>
//       ...
//     </chars>
//   </font>
//
// "lineHeight" becomes the font's line height ("base" is read by nobody). Every "char" element,
// in document order, gives the glyph of character code "id": source cell (x, y, x + width,
// y + height), x offset, y offset (yoffset minus the line height) and advance. An attribute a
// character does not give keeps the value the previous character gave (0 before the first); a
// number is read as the C library's integer conversion reads it (leading blanks and a sign, then
// digits; anything else gives 0), limited to the 32-bit range. A code given twice keeps the later
// glyph. A character whose cell or offset does not fit 32-bit coordinates is left out.
//
// Any thread; touches only the font given.
#pragma once

class BitmapFont;

// True when the text parsed as XML (the font then holds what the description gives). Null
// arguments, or text that does not parse, give false and leave the font as it was.
bool ReadBitmapFontDescription(BitmapFont* font, const char* description);
