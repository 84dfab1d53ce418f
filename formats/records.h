// Fixed-layout records that cross the Pellox library boundary. Plain C layout,
// little-endian, shared by the library and the main program.
#ifndef ORLAVO_FORMATS_RECORDS_H_
#define ORLAVO_FORMATS_RECORDS_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct StreamInfo {
  char Emphasis[30];
  char Version[30];
  char Mode[30];
  int16_t Duration;
  int16_t Bitrate;
  int16_t Reserved1;  // padding; never written by the reader
  int32_t Frames;
  int16_t Private;
  int16_t Copyright;
  int16_t Original;
  int16_t Reserved2;  // padding; never written by the reader
  int32_t Frequency;
} StreamInfo;

typedef struct ID3v1Tag {
  char Title[30];
  char Artist[30];
  char Album[30];
  char Comment[30];
  char Year[4];
  int16_t Genre;
  int16_t Exists;
} ID3v1Tag;

#ifdef __cplusplus
}  // extern "C"

#include <cstddef>
static_assert(sizeof(StreamInfo) == 112);
static_assert(offsetof(StreamInfo, Emphasis) == 0);
static_assert(offsetof(StreamInfo, Version) == 30);
static_assert(offsetof(StreamInfo, Mode) == 60);
static_assert(offsetof(StreamInfo, Duration) == 90);
static_assert(offsetof(StreamInfo, Bitrate) == 92);
static_assert(offsetof(StreamInfo, Frames) == 96);
static_assert(offsetof(StreamInfo, Private) == 100);
static_assert(offsetof(StreamInfo, Copyright) == 102);
static_assert(offsetof(StreamInfo, Original) == 104);
static_assert(offsetof(StreamInfo, Frequency) == 108);

static_assert(sizeof(ID3v1Tag) == 128);
static_assert(offsetof(ID3v1Tag, Title) == 0);
static_assert(offsetof(ID3v1Tag, Artist) == 30);
static_assert(offsetof(ID3v1Tag, Album) == 60);
static_assert(offsetof(ID3v1Tag, Comment) == 90);
static_assert(offsetof(ID3v1Tag, Year) == 120);
static_assert(offsetof(ID3v1Tag, Genre) == 124);
static_assert(offsetof(ID3v1Tag, Exists) == 126);
#endif

#endif  // ORLAVO_FORMATS_RECORDS_H_
