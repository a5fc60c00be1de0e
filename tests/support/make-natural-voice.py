#!/usr/bin/python3
"""Makes a small natural voice for the tests: NAME.onnx and NAME.onnx.json in a folder.

The model has the inputs and output of a real one. Each id becomes REPEAT samples of the value
table[id] (id / 200), where REPEAT is 64 times the length scale rounded up, so a test can read the
ids back from the audio and see the speed in its length. An id of 200 or more makes the model fail.
  make-natural-voice.py FOLDER NAME [--failing-phoneme P] [--no-scales] [--phoneme-type T]
"""
import argparse, json, os
import numpy as np
import onnx
from onnx import TensorProto, helper

parser = argparse.ArgumentParser()
parser.add_argument("folder")
parser.add_argument("name")
parser.add_argument("--failing-phoneme", help="a phoneme whose id the model cannot take")
parser.add_argument("--no-scales", action="store_true", help="leave the scales input out")
parser.add_argument("--phoneme-type", default="espeak")
args = parser.parse_args()

table = helper.make_tensor("table", TensorProto.FLOAT, [200], (np.arange(200) / 200.0).tolist())
nodes = [
    helper.make_node("Gather", ["table", "input"], ["values"], axis=0),        # [1, N]
    helper.make_node("Unsqueeze", ["values", "last"], ["column"]),              # [1, N, 1]
]
initializers = [table, helper.make_tensor("last", TensorProto.INT64, [1], [2])]
inputs = [helper.make_tensor_value_info("input", TensorProto.INT64, [1, "n"]),
          helper.make_tensor_value_info("input_lengths", TensorProto.INT64, [1])]
if args.no_scales:
    initializers.append(helper.make_tensor("repeats", TensorProto.INT64, [3], [1, 1, 64]))
else:
    inputs.append(helper.make_tensor_value_info("scales", TensorProto.FLOAT, [3]))
    initializers += [helper.make_tensor("one", TensorProto.INT64, [1], [1]),
                     helper.make_tensor("sixtyfour", TensorProto.FLOAT, [], [64.0]),
                     helper.make_tensor("ones", TensorProto.INT64, [2], [1, 1])]
    nodes += [
        helper.make_node("Slice", ["scales", "one", "ones_end"], ["length_scale"]),
        helper.make_node("Mul", ["length_scale", "sixtyfour"], ["scaled"]),
        helper.make_node("Ceil", ["scaled"], ["rounded"]),
        helper.make_node("Cast", ["rounded"], ["count"], to=TensorProto.INT64),
        helper.make_node("Concat", ["ones", "count"], ["repeats"], axis=0),
    ]
    initializers.append(helper.make_tensor("ones_end", TensorProto.INT64, [1], [2]))
nodes += [
    helper.make_node("Tile", ["column", "repeats"], ["tiled"]),                 # [1, N, R]
    helper.make_node("Reshape", ["tiled", "shape"], ["output"]),
]
initializers.append(helper.make_tensor("shape", TensorProto.INT64, [4], [1, 1, 1, -1]))
graph = helper.make_graph(nodes, "voice", inputs,
                          [helper.make_tensor_value_info("output", TensorProto.FLOAT, [1, 1, 1, "s"])],
                          initializers)
model = helper.make_model(graph, opset_imports=[helper.make_opsetid("", 13)])
model.ir_version = 7
onnx.checker.check_model(model)

# Piper's phonemes with ids 0-160; a failing phoneme gets an id the table does not have.
symbols = ["_", "^", "$", " ", "!", "'", "(", ")", ",", "-", ".", ":", ";", "?"]
symbols += [chr(c) for c in range(ord("a"), ord("z") + 1)]
symbols += list("æçðøħŋœǀǁǂǃɐɑɒɓɔɕɖɗɘəɚɛɜɞɟɠɡɢɣɤɥɦɧɨɪɫɬɭɮɯɰɱɲɳɴɵɶɸɹɺɻɽɾʀʁʂʃʄʈʉʊʋʌʍʎʏʐʑʒʔʕʘʙʛʜʝʟʡʢʲˈˌːˑ˞βθχᵻⱱ")
symbols += [chr(0x0303), chr(0x0329), "ʰ"]
phoneme_id_map = {symbol: [i] for i, symbol in enumerate(symbols)}
if args.failing_phoneme:
    phoneme_id_map[args.failing_phoneme] = [250]
config = {
    "audio": {"sample_rate": 16000, "quality": "x_low"},
    "espeak": {"voice": "en-us"},
    "inference": {"noise_scale": 0.667, "length_scale": 1, "noise_w": 0.8},
    "phoneme_type": args.phoneme_type,
    "phoneme_map": {},
    "phoneme_id_map": phoneme_id_map,
    "num_symbols": 256,
    "num_speakers": 1,
    "speaker_id_map": {},
    "language": {"code": "en_US", "family": "en", "region": "US"},
    "dataset": args.name,
}
os.makedirs(args.folder, exist_ok=True)
base = os.path.join(args.folder, "en_US-%s-x_low.onnx" % args.name)
onnx.save(model, base)
with open(base + ".json", "w", encoding="utf-8") as file:
    json.dump(config, file, ensure_ascii=False)
print(base)
