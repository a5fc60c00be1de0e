"""The same natural voice through Parlora's speech helper and through Piper's own engine, with
the noise scales at 0 so that both are deterministic, on a paragraph with numbers, abbreviations
and punctuation: the two must give the same speech (sample correlation above 0.99, the same
length within 1 %). Both read espeak-ng's phonemes from the same data, Debian's.
  python-with-piper compare-with-piper.py HELPER MODEL.onnx"""
import json, os, shutil, struct, subprocess, sys, tempfile

import numpy as np
from piper import PiperVoice

PARAGRAPH = ('Hello, world! Dr. Smith paid $1,234.50 on 3/4/2021; e.g. NASA: yes? "Quoted." '
             'At 7 pm, the 2nd test costs 5 % more than Mr. Jones expected (about 12 kg). It is 10:30 am.')
ESPEAK_DATA = '/usr/lib/x86_64-linux-gnu/espeak-ng-data'


def parlora_samples(helper, model, data_home, text):
    """The helper's audio frames for one passage, as 16-bit samples."""
    audio_read, audio_write = os.pipe()
    def give_descriptor():
        os.dup2(audio_write, 3)
    helper_process = subprocess.Popen([helper, '--speak', 'natural', model, '3'], stdin=subprocess.PIPE,
                                      close_fds=False, preexec_fn=give_descriptor,
                                      env=dict(os.environ, XDG_DATA_HOME=data_home))
    os.close(audio_write)
    data = text.encode()
    helper_process.stdin.write(b'passage %d\n' % len(data) + data)
    helper_process.stdin.close()
    stream = b''
    while chunk := os.read(audio_read, 1 << 16):
        stream += chunk
    helper_process.wait()
    if stream[:4] != b'PLRA':
        sys.exit('FAIL: the helper gave no stream')
    position, pcm = 8, bytearray()
    while position < len(stream):
        kind, length = stream[position], struct.unpack('<I', stream[position + 4:position + 8])[0]
        payload = stream[position + 8:position + 8 + length]
        position += 8 + length
        if kind == 1:
            pcm += payload
        elif kind == 3:
            sys.exit('FAIL: the helper failed on the passage: %s' % payload.decode(errors='replace'))
    return np.frombuffer(bytes(pcm), np.int16).astype(float)


def main():
    helper, model = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as data_home:
        voices = os.path.join(data_home, 'parlora', 'voices')
        os.makedirs(voices)
        quiet_model = os.path.join(voices, os.path.basename(model))
        shutil.copy(model, quiet_model)
        with open(model + '.json', encoding='utf-8') as file:
            config = json.load(file)
        config['inference']['noise_scale'] = 0
        config['inference']['noise_w'] = 0
        with open(quiet_model + '.json', 'w', encoding='utf-8') as file:
            json.dump(config, file)

        ours = parlora_samples(helper, quiet_model, data_home, PARAGRAPH)
        voice = PiperVoice.load(quiet_model, espeak_data_dir=ESPEAK_DATA)
        theirs = np.frombuffer(b''.join(chunk.audio_int16_bytes for chunk in voice.synthesize(PARAGRAPH)),
                               np.int16).astype(float)
    length_difference = abs(len(ours) - len(theirs)) / len(theirs)
    common = min(len(ours), len(theirs))
    correlation = np.corrcoef(ours[:common], theirs[:common])[0, 1]
    print('Parlora %d samples, Piper %d samples (%.3f %% apart); correlation %.5f'
          % (len(ours), len(theirs), 100 * length_difference, correlation))
    if length_difference > 0.01 or not correlation > 0.99:
        sys.exit('FAIL: Parlora and Piper do not give the same speech')
    print('Parlora and Piper give the same speech')


if __name__ == '__main__':
    main()
