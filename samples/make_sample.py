#!/usr/bin/env python3
"""Writes drawing-sjis.igs: a small drawing whose General Notes are written the
ways Japanese CAD systems write them (Shift-JIS kanji and kana, half-width
katakana, JIS-code notation, a vertical string, a negative width)."""
import pathlib


def record(data, letter, sequence):
    data = data.encode('cp932') if isinstance(data, str) else data
    assert len(data) <= 72, data
    return data.ljust(72, b' ') + letter.encode() + str(sequence).rjust(7).encode()


def note(strings):
    """strings: (WT, HT, FC, SL, A, M, VH, XS, YS, ZS, text); NC is the text's byte count."""
    fields = [b'212', str(len(strings)).encode()]
    for *numbers, text in strings:
        data = text.encode('cp932')
        fields.append(str(len(data)).encode())
        fields += [str(value).encode() for value in numbers]
        fields.append(str(len(data)).encode() + b'H' + data)
    return b','.join(fields) + b',0,0;'


def pack(text):
    """Cuts parameter data into 64-column lines at field boundaries."""
    lines, line = [], b''
    for field in text.split(b','):
        piece = field + b','
        if line and len(line) + len(piece) >= 64:
            lines.append(line)
            line = b''
        line += piece
    lines.append(line[:-1])
    return [line.ljust(64, b' ') for line in lines]


entities = [
    (110, b'110,0.,0.,0.,120.,0.,0.;'),
    (212, note([(55., 10., 1, 0., 0., 0, 0, 10., 20., 0., '図面ABC漢字')])),
    (212, note([(35., 10., 1, 0., 0., 0, 0, 10., 40., 0., 'ｶﾀｶﾅﾃｽﾄ')])),
    (212, note([(20., 10., 2001, 0., 0., 0, 0, 10., 60., 0., '34413b7a')])),
    (212, note([(-20., 10., 1, 0., 0., 0, 0, 10., 80., 0., '寸法')])),
    (212, note([(30., 10., 1, 0., 0., 0, 1, 90., 90., 0., '縦書き')])),
    (110, b'110,0.,100.,0.,120.,100.,0.;'),
]
start = [b'notora sample drawing: General Notes written by Japanese CAD systems']
glob = (b'1H,,1H;,6Hsample,10Hsample.igs,6Hnotora,6Hnotora,32,38,6,308,15,6Hsample,'
        b'1.,2,2HMM,1,0.01,15H20261208.120000,0.001,200.,6Hnotora,6Hnotora,11,0;')
out = [record(s, 'S', i + 1) for i, s in enumerate(start)]
globals_ = [glob[i:i + 72] for i in range(0, len(glob), 72)]
out += [record(g, 'G', i + 1) for i, g in enumerate(globals_)]
pointer, parameters = 1, []
for k, (entity_type, text) in enumerate(entities):
    lines = pack(text)
    out.append(record(f'{entity_type:8d}{pointer:8d}       0       0       0       0       0        00000000', 'D', 2 * k + 1))
    out.append(record(f'{entity_type:8d}       0       0{len(lines):8d}       0                        0', 'D', 2 * k + 2))
    for line in lines:
        parameters.append(line + b' ' + str(2 * k + 1).rjust(7).encode() + b'P' +
                          str(len(parameters) + 1).rjust(7).encode())
    pointer += len(lines)
out += parameters
out.append(record(f'S{len(start):7d}G{len(globals_):7d}D{2 * len(entities):7d}P{len(parameters):7d}', 'T', 1))
pathlib.Path(__file__).with_name('drawing-sjis.igs').write_bytes(b'\n'.join(out) + b'\n')
