#pragma once
// Every device command of a QTV station. Each builds one request in TeleBuffer, runs SioExchange,
// stores the result in SioErgebnis and returns the answer in the form its callers use.
// The station is never an argument: every command goes to BusAdresse (or to all stations when
// Broadcast is on).
//
// Result forms:
//   Flag          1 when bit 0 of D1 is set, else 0; 0 on failure
//   12-bit        (D1 & 0x0F) * 256 + D2; 0 on failure
//   Two bytes     Status; on success area[0..2] = D1, D2, 0 (area untouched on failure)
//   Three bytes   Status; on success area[0..3] = D1, D2, D3, 0 (area untouched on failure)
//   Masked byte   D1 & mask; 0xFF on failure

#include <cstdint>
#include <string_view>

std::uint8_t ReadSP1Aktiv();
std::int32_t WriteSP1Aktiv(std::uint8_t value);
std::uint8_t ReadSP2Aktiv();
std::int32_t WriteSP2Aktiv(std::uint8_t value);
std::uint8_t ReadSP1Funk();
std::int32_t WriteSP1Funk(std::uint8_t value);
std::uint8_t ReadSP2Funk();
std::int32_t WriteSP2Funk(std::uint8_t value);
std::uint8_t ReadSP1Status();
std::int32_t WriteSP1Status(std::uint8_t value);
std::uint8_t ReadSP2Status();
std::int32_t WriteSP2Status(std::uint8_t value);
std::uint8_t ReadDurch10();
std::int32_t WriteDurch10(std::uint8_t value);
std::uint8_t ReadSoMess();
std::int32_t WriteSoMess(std::uint8_t value);
std::uint8_t ReadUShow();
std::int32_t WriteUShow(std::uint8_t value);

std::uint8_t ReadKomma();   // mask 0x0F
std::int32_t WriteKomma(std::uint8_t value);
std::uint8_t ReadRunden();  // mask 0x07
std::int32_t WriteRunden(std::uint8_t value);

std::uint16_t ReadID();     // 0xFFFF on failure
std::int16_t ReadMWert();   // 0 on failure

std::int32_t ReadRTCZeit(std::uint8_t* area);
std::int32_t WriteRTCZeit(std::uint16_t value);
std::int32_t ReadRTCTag(std::uint8_t* area);
std::int32_t WriteRTCTag(std::uint16_t value);
std::int32_t ReadRTCDatum(std::uint8_t* area);
std::int32_t WriteRTCDatum(std::uint16_t value);
std::int32_t ReadRTCSecZyk(std::uint8_t* area);
std::int32_t WriteRTCSecZyk(std::uint16_t value);

std::int32_t ReadMBAnf(std::uint8_t* area);
std::int32_t WriteMBAnf(std::uint16_t value);
std::int32_t ReadMBEnd(std::uint8_t* area);
std::int32_t WriteMBEnd(std::uint16_t value);
std::int32_t ReadABAnf(std::uint8_t* area);
std::int32_t WriteABAnf(std::uint16_t value);
std::int32_t ReadABEnd(std::uint8_t* area);
std::int32_t WriteABEnd(std::uint16_t value);

std::int32_t ReadSP1Wert();
std::int32_t WriteSP1Wert(std::int32_t value);
std::int32_t ReadSP2Wert();
std::int32_t WriteSP2Wert(std::int32_t value);
std::int32_t ReadSP1Hyst();
std::int32_t WriteSP1Hyst(std::int32_t value);
std::int32_t ReadSP2Hyst();
std::int32_t WriteSP2Hyst(std::int32_t value);
std::uint16_t ReadSP1Verz();
std::int32_t WriteSP1Verz(std::uint16_t value);
std::uint16_t ReadSP2Verz();
std::int32_t WriteSP2Verz(std::uint16_t value);

std::int32_t ReadMaxWert(std::uint8_t* area);
std::int32_t WriteMaxWert(std::uint16_t value);
std::int32_t ReadMinWert(std::uint8_t* area);
std::int32_t WriteMinWert(std::uint16_t value);
std::uint16_t ReadMittel();  // 0 on failure
std::int32_t WriteMittel(std::uint16_t value);
std::int16_t ReadEVar(std::uint8_t* area);
std::int32_t WriteEVar(std::int16_t value);

std::int32_t ReadDTxt(std::uint8_t* area);  // area of at least 4 bytes
// Sends the first three characters of text; places past the end of a shorter text go as zero bytes.
std::int32_t WriteDTxt(std::string_view text);

// Fetches a station's value in broadcast mode: D1 must be ACK, the value is D2 * 256 + D3.
// 0x7FFF (with SioErgebnis 0) when there is no valid answer. Leaves Broadcast on.
std::int16_t ReadBroadcast();

std::int32_t ResetQtv();
std::int32_t ClearBFlag();
