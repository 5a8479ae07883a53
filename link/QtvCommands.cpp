#include "link/QtvCommands.h"

#include <initializer_list>

#include "link/Sio.h"

namespace {

// Answer data D1, D2, D3 stand at answer positions 3, 4, 5.
constexpr int kD1 = kAnswer + 3;
constexpr int kD2 = kAnswer + 4;
constexpr int kD3 = kAnswer + 5;

std::uint8_t D1() { return TeleBuffer[kD1]; }
std::uint8_t D2() { return TeleBuffer[kD2]; }
std::uint8_t D3() { return TeleBuffer[kD3]; }

// Builds the request (L = 4 + data bytes), runs the exchange and records its result.
std::int32_t Request(std::uint8_t code, std::initializer_list<std::uint8_t> data = {}) {
    TeleBuffer[2] = static_cast<std::uint8_t>(4 + data.size());
    TeleBuffer[3] = code;
    int offset = 4;
    for (std::uint8_t byte : data) TeleBuffer[offset++] = byte;
    SioErgebnis = SioExchange();
    return SioErgebnis;
}

std::int32_t WriteByte(std::uint8_t code, std::uint8_t value) { return Request(code, {value}); }

std::int32_t WriteWord(std::uint8_t code, std::uint16_t value) {
    return Request(code, {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value & 0xFF)});
}

std::uint8_t ReadFlag(std::uint8_t code) { return Request(code) ? (D1() & 0x01) : 0; }

std::uint8_t ReadMasked(std::uint8_t code, std::uint8_t mask) {
    return Request(code) ? static_cast<std::uint8_t>(D1() & mask) : 0xFF;
}

std::uint16_t Read12Bit(std::uint8_t code) {
    return Request(code) ? static_cast<std::uint16_t>((D1() & 0x0F) * 256 + D2()) : 0;
}

std::uint16_t ReadWord(std::uint8_t code, std::uint16_t onFailure) {
    return Request(code) ? static_cast<std::uint16_t>(D1() * 256 + D2()) : onFailure;
}

std::int32_t ReadTwoBytes(std::uint8_t code, std::uint8_t* area) {
    if (!Request(code)) return SioErgebnis;
    area[0] = D1();
    area[1] = D2();
    area[2] = 0;
    return SioErgebnis;
}

std::int32_t ReadThreeBytes(std::uint8_t code, std::uint8_t* area) {
    if (!Request(code)) return SioErgebnis;
    area[0] = D1();
    area[1] = D2();
    area[2] = D3();
    area[3] = 0;
    return SioErgebnis;
}

}  // namespace

std::uint8_t ReadSP1Aktiv() { return ReadFlag(0x10); }
std::int32_t WriteSP1Aktiv(std::uint8_t value) { return WriteByte(0x90, value); }
std::uint8_t ReadSP2Aktiv() { return ReadFlag(0x11); }
std::int32_t WriteSP2Aktiv(std::uint8_t value) { return WriteByte(0x91, value); }
std::uint8_t ReadSP1Funk() { return ReadFlag(0x12); }
std::int32_t WriteSP1Funk(std::uint8_t value) { return WriteByte(0x92, value); }
std::uint8_t ReadSP2Funk() { return ReadFlag(0x13); }
std::int32_t WriteSP2Funk(std::uint8_t value) { return WriteByte(0x93, value); }
std::uint8_t ReadSP1Status() { return ReadFlag(0x14); }
std::int32_t WriteSP1Status(std::uint8_t value) { return WriteByte(0x94, value); }
std::uint8_t ReadSP2Status() { return ReadFlag(0x15); }
std::int32_t WriteSP2Status(std::uint8_t value) { return WriteByte(0x95, value); }
std::uint8_t ReadDurch10() { return ReadFlag(0x16); }
std::int32_t WriteDurch10(std::uint8_t value) { return WriteByte(0x96, value); }
std::uint8_t ReadSoMess() { return ReadFlag(0x17); }
std::int32_t WriteSoMess(std::uint8_t value) { return WriteByte(0x97, value); }
std::uint8_t ReadUShow() { return ReadFlag(0x18); }
std::int32_t WriteUShow(std::uint8_t value) { return WriteByte(0x98, value); }

std::uint8_t ReadKomma() { return ReadMasked(0x20, 0x0F); }
std::int32_t WriteKomma(std::uint8_t value) { return WriteByte(0xA0, value); }
std::uint8_t ReadRunden() { return ReadMasked(0x21, 0x07); }
std::int32_t WriteRunden(std::uint8_t value) { return WriteByte(0xA1, value); }

std::uint16_t ReadID() { return ReadWord(0x30, 0xFFFF); }
std::int16_t ReadMWert() { return static_cast<std::int16_t>(ReadWord(0x31, 0)); }

std::int32_t ReadRTCZeit(std::uint8_t* area) { return ReadTwoBytes(0x35, area); }
std::int32_t WriteRTCZeit(std::uint16_t value) { return WriteWord(0xB5, value); }
std::int32_t ReadRTCTag(std::uint8_t* area) { return ReadTwoBytes(0x36, area); }
std::int32_t WriteRTCTag(std::uint16_t value) { return WriteWord(0xB6, value); }
std::int32_t ReadRTCDatum(std::uint8_t* area) { return ReadTwoBytes(0x37, area); }
std::int32_t WriteRTCDatum(std::uint16_t value) { return WriteWord(0xB7, value); }
std::int32_t ReadRTCSecZyk(std::uint8_t* area) { return ReadTwoBytes(0x38, area); }
std::int32_t WriteRTCSecZyk(std::uint16_t value) { return WriteWord(0xB8, value); }

std::int32_t ReadMBAnf(std::uint8_t* area) { return ReadTwoBytes(0x40, area); }
std::int32_t WriteMBAnf(std::uint16_t value) { return WriteWord(0xC0, value); }
std::int32_t ReadMBEnd(std::uint8_t* area) { return ReadTwoBytes(0x41, area); }
std::int32_t WriteMBEnd(std::uint16_t value) { return WriteWord(0xC1, value); }
std::int32_t ReadABAnf(std::uint8_t* area) { return ReadTwoBytes(0x42, area); }
std::int32_t WriteABAnf(std::uint16_t value) { return WriteWord(0xC2, value); }
std::int32_t ReadABEnd(std::uint8_t* area) { return ReadTwoBytes(0x43, area); }
std::int32_t WriteABEnd(std::uint16_t value) { return WriteWord(0xC3, value); }

std::int32_t ReadSP1Wert() { return Read12Bit(0x50); }
std::int32_t WriteSP1Wert(std::int32_t value) { return WriteWord(0xD0, static_cast<std::uint16_t>(value)); }
std::int32_t ReadSP2Wert() { return Read12Bit(0x51); }
std::int32_t WriteSP2Wert(std::int32_t value) { return WriteWord(0xD1, static_cast<std::uint16_t>(value)); }
std::int32_t ReadSP1Hyst() { return Read12Bit(0x52); }
std::int32_t WriteSP1Hyst(std::int32_t value) { return WriteWord(0xD2, static_cast<std::uint16_t>(value)); }
std::int32_t ReadSP2Hyst() { return Read12Bit(0x53); }
std::int32_t WriteSP2Hyst(std::int32_t value) { return WriteWord(0xD3, static_cast<std::uint16_t>(value)); }
std::uint16_t ReadSP1Verz() { return Read12Bit(0x54); }
std::int32_t WriteSP1Verz(std::uint16_t value) { return WriteWord(0xD4, value); }
std::uint16_t ReadSP2Verz() { return Read12Bit(0x55); }
std::int32_t WriteSP2Verz(std::uint16_t value) { return WriteWord(0xD5, value); }

std::int32_t ReadMaxWert(std::uint8_t* area) { return ReadTwoBytes(0x56, area); }
std::int32_t WriteMaxWert(std::uint16_t value) { return WriteWord(0xD6, value); }
std::int32_t ReadMinWert(std::uint8_t* area) { return ReadTwoBytes(0x57, area); }
std::int32_t WriteMinWert(std::uint16_t value) { return WriteWord(0xD7, value); }
std::uint16_t ReadMittel() { return ReadWord(0x58, 0); }
std::int32_t WriteMittel(std::uint16_t value) { return WriteWord(0xD8, value); }
std::int16_t ReadEVar(std::uint8_t* area) { return static_cast<std::int16_t>(ReadTwoBytes(0x59, area)); }
std::int32_t WriteEVar(std::int16_t value) { return WriteWord(0xD9, static_cast<std::uint16_t>(value)); }

std::int32_t ReadDTxt(std::uint8_t* area) { return ReadThreeBytes(0x60, area); }

std::int32_t WriteDTxt(std::string_view text) {
    std::uint8_t chars[3] = {0, 0, 0};
    for (std::size_t i = 0; i < 3 && i < text.size(); ++i) chars[i] = static_cast<std::uint8_t>(text[i]);
    return Request(0xE0, {chars[0], chars[1], chars[2]});
}

std::int16_t ReadBroadcast() {
    TeleBuffer[2] = 4;
    TeleBuffer[3] = 0x61;
    Broadcast = false;
    SioErgebnis = SioExchange();
    std::int16_t value = 0x7FFF;
    if (SioErgebnis != 0 && D1() == ACK) {
        value = static_cast<std::int16_t>(D2() * 256 + D3());
    } else {
        SioErgebnis = 0;
    }
    Broadcast = true;
    return value;
}

std::int32_t ResetQtv() { return Request(0x9A, {0x00}); }
std::int32_t ClearBFlag() { return Request(0x9B); }
