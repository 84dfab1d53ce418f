/* Mevrit: encodes one WAV file to an MP3 file beside it, with libmp3lame.
 * SetEncoder sets the bitrate and channel mode of the next EncodeMp3 calls. */
#ifndef ORLAVO_ENCODER_MEVRIT_H_
#define ORLAVO_ENCODER_MEVRIT_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Called with the whole percentage done (0 to 100) in the low 16 bits;
 * returning 0 interrupts the encoding. */
typedef int16_t (*MevritProgressFunction)(int32_t percent);

/* bitrate in kbit/s; mode in LAME's numbering (see the MEVRIT_MODE values). */
void SetEncoder(int32_t bitrate, int32_t mode);
/* Encodes the WAV file at wavPath (native path bytes) to the MP3 file of the
 * same name with the last three characters replaced by "mp3", beside it.
 * cell points to a pointer-sized cell holding a MevritProgressFunction (or
 * null). Returns 0 or one of the MEVRIT_STATUS failures. */
int32_t EncodeMp3(const char* wavPath, void* cell);

typedef void (*SetEncoderFunction)(int32_t, int32_t);
typedef int32_t (*EncodeMp3Function)(const char*, void*);

#ifdef __cplusplus
}
#endif

#define MEVRIT_MODE_STEREO 0
#define MEVRIT_MODE_JOINT_STEREO 1
#define MEVRIT_MODE_DUAL_CHANNEL 2
#define MEVRIT_MODE_MONO 3

/* Not a WAV this library reads: not a RIFF WAVE file, an unreadable header, a
 * sample format other than 8/16/24/32-bit PCM or float, more than two channels
 * or a rate LAME refuses. */
#define MEVRIT_STATUS_CANT_OPEN_WAV (-1)
/* LAME could not be set up or failed while encoding. */
#define MEVRIT_STATUS_LAME_FAILED (-2)
/* The progress callback returned 0. */
#define MEVRIT_STATUS_INTERRUPTED (-3)
/* The MP3 file could not be written: disk full, folder not writable, or a file
 * of its name exists. */
#define MEVRIT_STATUS_CANT_WRITE_MP3 (-5)

#endif /* ORLAVO_ENCODER_MEVRIT_H_ */
