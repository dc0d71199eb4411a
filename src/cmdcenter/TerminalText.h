// How the terminal turns commands and received bytes into what goes on the wire and
// what the transcript shows: request framing, hexadecimal text, control characters
// spelled out, and the parts of replies and packets worth showing.
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Wraps one typed command in the request frame: "~" 0x01 "0000", "@" unless the
// command starts with "@" or "#", the command, ";" unless it ends with one, 0x03.
wxString PackTerminalCommand(const wxString& command);

// Every character with a code below 32 as its mnemonic ("<ACK>"), 127 as "<DEL>".
wxString ExpandControlCharacters(const wxString& text);

// Each byte as two upper-case hexadecimal digits, separated by single blanks.
wxString HexOfBytes(const std::string& bytes);
// The character codes of `text` the same way ("%02X", blank-separated).
wxString HexOfCharacters(const wxString& text);

// Reads hexadecimal digit pairs, blanks skipped, into one character each; a last
// single digit stands alone. Pairs that are no hexadecimal number are left out.
// With `zeroAsDigit` a pair giving 0 becomes the character "0", so that the text
// can stand in the input box.
wxString CharactersOfHex(const wxString& hex, bool zeroAsDigit);
// The characters of `hex` that are neither hexadecimal digits nor blanks, each once,
// in the order typed; empty when the text can be sent as it stands.
wxString InvalidHexDigits(const wxString& hex);

// The low byte of each character, for a raw write.
std::string LowBytesOf(const wxString& text);

// The part of a reply the response line shows: without expansion, a reply frame
// (at least 9 bytes, 0x02 0x01 ... 0x03) loses its first 7 bytes and its 0x03.
std::string ShownReplyBytes(const std::string& reply, bool expand);
wxString ShownReplyText(const wxString& reply, bool expand);

// A received block checked as a packed data frame. `code` is the frame's mark byte,
// the key of the symbology name; `payload` the bytes between the 5-byte header and
// the checksum.
struct SDevicePacket {
    bool valid = false;
    int code = 0;
    std::string payload;
};
SDevicePacket ReadDevicePacket(const std::string& block);

// One piece of what the scanner sent by itself: a packed frame (its mark as `code`,
// its payload) or the plain bytes between frames. `raw` holds the piece's bytes as
// they came.
struct SDevicePiece {
    bool packet = false;
    int code = 0;
    std::string payload;
    std::string raw;
};
// Cuts a block of packed output into its frames and the plain data around them. A
// frame that the block cuts off at its end is left in `rest`.
std::vector<SDevicePiece> SplitDeviceOutput(const std::string& block, std::string& rest);

// Text of received bytes as the device line shows them: each byte as the character
// of that code, a 0 as a blank.
wxString CharactersOfBytes(const std::string& bytes);
