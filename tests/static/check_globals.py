#!/usr/bin/env python3
"""Every writable global of the game library (the game, the shell, the toolkit and the sound
module) is declared in its module's header and put back by Reset_Game_Globals: a global that a
fresh start leaves as it was makes tests depend on their order without a word. Function-local
statics are let through: the text buffers the screens fill before each use.
Usage: check_globals.py LIBRARY SOURCE_DIR"""
import glob, os, re, subprocess, sys

library, source = sys.argv[1], sys.argv[2]
table = subprocess.run(['objdump', '-t', '-C', library], capture_output=True, text=True, check=True).stdout
writable = re.compile(r'^\S+ (\S)\s+O (\.bss|\.data|\.tbss|\.tdata)(?!\.rel\.ro)\S*\s+\S+ (.+)$')
found = {(m.group(1), m.group(3)) for m in map(writable.match, table.splitlines())
         if m and not m.group(3).startswith('__')}  # not the sanitizers' own records
globals_ = sorted({name for kind, name in found if kind == 'g'})
strays = sorted(name for kind, name in found if kind == 'l' and ')::' not in name)

headers = ''.join(open(h).read() for d in ('game', 'gfx', 'main', 'mci') for h in glob.glob(os.path.join(source, d, '*.h')))
declared = ' '.join(re.findall(r'^extern [^;]+;', headers, re.M))
control = open(os.path.join(source, 'game', 'control.cpp')).read()
body = control[control.index('void Reset_Game_Globals() {'):]
body = body[:body.index('\n}\n')]

problems = ['defined at file level but not a global: ' + n for n in strays]
problems += ['not declared extern in a header of game/, gfx/, main/ or mci/: ' + n
             for n in globals_ if not re.search(r'\b%s\b' % re.escape(n), declared)]
problems += ['not reset by Reset_Game_Globals (game/control.cpp): ' + n
             for n in globals_ if not re.search(r'\b%s\b' % re.escape(n), body)]
print('\n'.join(problems) or 'every one of the %d globals is declared and reset' % len(globals_))
sys.exit(1 if problems else 0)
