#!/usr/bin/env node
// Minimal UCI engine for exercising the match runner: plays a random legal move
// per `go` (seeded, so runs repeat), and on request misbehaves in one chosen way.
'use strict';

const readline = require('readline');
const {Chess} = require('chess.js');

const HELP_TEXT = `Usage: node fake_engine.js [--mode MODE] [--bad-after N] [--bad-count K]
                            [--delay MS] [--seed S] [--name NAME]
Modes (misbehaviour starts at the N-th go, counted from 1 over the process life,
and lasts K go commands; default N=1, K=unlimited):
  random      always legal, never misbehaves (default)
  illegal     answers a move that is not legal (a2a5-like nonsense)
  upper       promotes with an upper-case letter when a promotion is legal
  null        answers "bestmove 0000"
  silent      never answers bestmove
  crash       exits with status 3
  slow        sleeps --delay ms before answering
  garbage     prints a non-UCI line before answering
`;

const NUMBER_FLAGS = {
    '--bad-after': 'badAfter',
    '--bad-count': 'badCount',
    '--delay': 'delayMs',
    '--seed': 'seed',
};

function ParseFakeArgs(argv) {
    const args =
        {mode: 'random', badAfter: 1, badCount: Infinity, delayMs: 0, seed: 1, name: 'fake'};
    for (let i = 0; i < argv.length; i++) {
        if (argv[i] === '--help') {
            process.stdout.write(HELP_TEXT);
            process.exit(0);
        } else if (argv[i] === '--mode' || argv[i] === '--name') {
            args[argv[i].slice(2)] = argv[++i];
        } else if (NUMBER_FLAGS[argv[i]]) {
            args[NUMBER_FLAGS[argv[i]]] = parseInt(argv[++i], 10);
        }
    }
    return args;
}

// Small deterministic generator (xorshift32) so a seeded run repeats.
function MakeRandom(seed) {
    let state = (seed >>> 0) || 1;
    return (n) => {
        state ^= state << 13;
        state >>>= 0;
        state ^= state >>> 17;
        state ^= state << 5;
        state >>>= 0;
        return state % n;
    };
}

function MoveObject(text) {
    return {from: text.slice(0, 2), to: text.slice(2, 4), promotion: text[4]};
}

// Applies "position ..."; reuses `state` when the new move list extends the old one.
function SetPosition(words, state) {
    const movesAt = words.indexOf('moves');
    const end = movesAt < 0 ? words.length : movesAt;
    const base = words.slice(1, end).join(' ');
    const moves = movesAt < 0 ? [] : words.slice(movesAt + 1);
    const isExtension = state.base === base && state.moves.length <= moves.length &&
        state.moves.every((move, i) => move === moves[i]);
    if (!isExtension) {
        state.chess = base === 'startpos' ? new Chess() : new Chess(words.slice(2, end).join(' '));
        state.base = base;
        state.moves = [];
    }
    for (const move of moves.slice(state.moves.length)) {
        state.chess.move(MoveObject(move));
        state.moves.push(move);
    }
}

function ChooseMove(chess, mode, bad, random) {
    const moves = chess.moves({verbose: true});
    if (moves.length === 0) {
        return '(none)';
    }
    const pick = moves[random(moves.length)].lan;
    const promotion = moves.find((move) => move.promotion);
    if (bad && mode === 'illegal') {
        return moves[0].from + moves[0].from;  // a piece moving to its own square
    }
    if (bad && mode === 'null') {
        return '0000';
    }
    if (bad && mode === 'upper' && promotion) {
        return promotion.lan.slice(0, 4) + promotion.promotion.toUpperCase();
    }
    return pick;
}

// Answers one `go`, misbehaving in the chosen way while `bad`.
function AnswerGo(args, state, bad, random, out) {
    if (bad && args.mode === 'silent') {
        return;
    }
    if (bad && args.mode === 'crash') {
        process.exit(3);
    }
    if (bad && args.mode === 'garbage') {
        out('hello from a broken engine');
    }
    const move = ChooseMove(state.chess, args.mode, bad, random);
    out('info depth 1 score cp 0');
    if (bad && args.mode === 'slow') {
        setTimeout(() => out(`bestmove ${move}`), args.delayMs);
    } else {
        out(`bestmove ${move}`);
    }
}

function Main() {
    const args = ParseFakeArgs(process.argv.slice(2));
    const random = MakeRandom(args.seed);
    const out = (line) => process.stdout.write(line + '\n');
    const state = {base: null, moves: [], chess: new Chess()};
    let nGo = 0;
    const input = readline.createInterface({input: process.stdin});
    input.on('line', (line) => {
        const words = line.trim().split(/\s+/);
        if (words[0] === 'uci') {
            out(`id name ${args.name}`);
            out('id author test');
            out('option name Hash type spin default 16 min 1 max 1024');
            out('uciok');
        } else if (words[0] === 'isready') {
            out('readyok');
        } else if (words[0] === 'ucinewgame') {
            state.base = null;
        } else if (words[0] === 'position') {
            SetPosition(words, state);
        } else if (words[0] === 'go') {
            nGo++;
            const bad = args.mode !== 'random' && nGo >= args.badAfter &&
                nGo < args.badAfter + args.badCount;
            AnswerGo(args, state, bad, random, out);
        } else if (words[0] === 'quit') {
            process.exit(0);
        }
    });
    input.on('close', () => process.exit(0));
}

Main();
