# Sourced by tools/make-media.sh: the voices of the media library and the
# shaping every recording gets, whoever says it.
#
#   speaker_raw FILE OUT      the recorded speaker's file (raw G.722, 16 kHz),
#                             decoded by ffmpeg
#   festival_raw TEXT OUT     TEXT said by Festival's Italian voice
#   espeak_raw TEXT OUT       TEXT said by eSpeak NG's Italian voice
#   shape RAW DEST            Quillo's format, trimmed, faded and levelled
#
# Needs $tmp (a scratch folder) and $meter (tools/loudness.cpp, built).

# The speaker's recordings: Carlo Flora's Italian prompts for Asterisk.
speaker_dir=/usr/share/asterisk/sounds/it_IT_m_Carlo

# How slowly Festival speaks (its Duration_Stretch; 1 is its usual pace):
# a quarter slower, for small children, as eSpeak NG's 140 words a minute
# against its usual 175 were.
festival_stretch=1.25
festival_voice=voice_pc_diphone
# eSpeak NG, for what neither the speaker nor Festival can say: words per
# minute and pitch (0-99).
espeak_speed=140
espeak_pitch=60

# Every recording is brought to the loudness of Le parole di Quillo's
# recordings (EBU R128, LUFS), with its peaks at or below the ceiling (dBFS).
target_loudness=-16.2
peak_ceiling=-1

speaker_raw() {
    [[ -f $speaker_dir/$1.g722 ]] ||
        die "the speaker has no recording $1 ($speaker_dir; Debian package asterisk-core-sounds-it-g722)"
    ffmpeg -nostdin -loglevel error -y -f g722 -i "$speaker_dir/$1.g722" -c:a pcm_s16le "$2" ||
        die "ffmpeg cannot decode $speaker_dir/$1.g722"
}

# Festival reads Latin-1: in UTF-8 an accented letter stops its Italian
# letter-to-sound rules and nothing is said.
festival_raw() {
    rm -f "$2"
    iconv -f UTF-8 -t ISO-8859-1 <<<"$1" >"$tmp/text" || die "'$1' is not Latin-1 text"
    text2wave -eval "($festival_voice)" -eval "(Parameter.set 'Duration_Stretch $festival_stretch)" \
        -o "$2" "$tmp/text" >"$tmp/festival.log" 2>&1
    [[ -s $2 ]] || { cat "$tmp/festival.log" >&2; die "Festival did not say '$1'"; }
}

espeak_raw() {
    printf '%s\n' "$1" | espeak-ng -v it -s "$espeak_speed" -p "$espeak_pitch" -w "$2" --stdin
}

# levels FILE: its loudness (LUFS) and peak (dBFS).
levels() { sox "$1" -t f32 - | "$meter" 22050; }

# shape RAW DEST: 22050 Hz mono 16-bit, the quiet lead-in trimmed and faded
# in over 5 ms, then the same backwards for the tail (30 ms fade-out) so the
# cuts do not click; then one gain to the target loudness. Where that would
# lift the peaks over the ceiling (a sharp consonant, a plosive), a
# look-ahead limiter holds them under it, a few times over while the
# loudness is still short of the target. -D (no dither): the same input always gives the same bytes.
shape() {
    # Headroom before the rate change, whose ripple would clip a recording
    # that peaks at full scale; the level is set afterwards anyway.
    sox -D "$1" -r 22050 -c 1 -e floating-point -b 32 "$tmp/shaped.wav" \
        silence 1 0.02 0.5% fade q 0.005 \
        reverse silence 1 0.02 0.5% fade q 0.03 reverse gain -6
    local loudness peak gain
    read -r loudness peak < <(levels "$tmp/shaped.wav")
    [[ $loudness != -inf ]] || die "$2 would be silent"
    local limit pass
    limit=$(awk -v c="$peak_ceiling" 'BEGIN { printf "%.4f", 10 ^ ((c - 0.2) / 20) }')
    for pass in 1 2 3 4; do
        gain=$(awk -v l="$loudness" -v t="$target_loudness" 'BEGIN { printf "%.2f", t - l }')
        awk -v p="$peak" -v g="$gain" -v c="$peak_ceiling" 'BEGIN { exit !(p + g > c - 0.05) }' || break
        ffmpeg -nostdin -loglevel error -y -i "$tmp/shaped.wav" -f f32le \
            -af "volume=${gain}dB,alimiter=limit=$limit:attack=5:release=50:level=0:latency=1" "$tmp/limited.f32"
        sox -t f32 -r 22050 -c 1 "$tmp/limited.f32" "$tmp/shaped.wav"
        read -r loudness peak < <(levels "$tmp/shaped.wav")
    done
    # The peak a little under the ceiling: 16-bit rounding stays below it.
    gain=$(awk -v l="$loudness" -v t="$target_loudness" -v p="$peak" -v c="$peak_ceiling" \
        'BEGIN { g = t - l; if (g > c - 0.05 - p) g = c - 0.05 - p; printf "%.2f", g }')
    sox -D "$tmp/shaped.wav" -b 16 -e signed-integer "$tmp/out.wav" gain "$gain"
    mv "$tmp/out.wav" "$2"
}
