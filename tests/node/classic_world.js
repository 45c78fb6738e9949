// Writes and reads ClassicWorld files (.cw) with prismarine-nbt, a reader of
// NBT that no one here wrote.
//   node classic_world.js write FILE X Y Z [wide]
//                                            a world with every usual tag, extra
//                                            tags in Metadata and one of its own,
//                                            BlockArray set to i % 47 (wide: and a
//                                            BlockArray2 of upper bytes after it)
//   node classic_world.js read FILE INDEX... every tag but BlockArray and
//                                            LastModified as JSON, then the
//                                            length of BlockArray, the bytes at
//                                            INDEX..., and LastModified
'use strict';
const nbt = require('prismarine-nbt');
const fs = require('fs');
const zlib = require('zlib');

function write(file, x, y, z, wide) {
  const blocks = new Array(x * y * z);
  for (let i = 0; i < blocks.length; ++i) blocks[i] = i % 47;
  const world = nbt.comp({
    FormatVersion: nbt.byte(1),
    Name: nbt.string('from node'),
    UUID: nbt.byteArray([1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16]),
    X: nbt.short(x),
    Y: nbt.short(y),
    Z: nbt.short(z),
    CreatedBy: nbt.comp({ Service: nbt.string('node'), Username: nbt.string('tester') }),
    TimeCreated: nbt.long([0, 1000]),
    LastModified: nbt.long([0, 2000]),
    Spawn: nbt.comp({ X: nbt.short(5), Y: nbt.short(6), Z: nbt.short(7), H: nbt.byte(1), P: nbt.byte(2) }),
    BlockArray: nbt.byteArray(blocks),
    ...(wide ? { BlockArray2: nbt.byteArray(blocks.map((b) => b % 2)) } : {}),
    Metadata: nbt.comp({
      CPE: nbt.comp({ ClickDistance: nbt.comp({ Distance: nbt.short(160) }) }),
      Other: nbt.comp({ Notes: nbt.list(nbt.string(['first', 'second'])), Weights: nbt.intArray([7, 8, 9]) }),
    }),
    Custom: nbt.int(42),
  }, 'ClassicWorld');
  fs.writeFileSync(file, zlib.gzipSync(nbt.writeUncompressed(world, 'big')));
}

async function read(file, indexes) {
  // Worlds of any size: prismarine-nbt refuses arrays past 2^24 elements unless asked not to.
  const { data: parsed } = await nbt.parseAs(fs.readFileSync(file), 'big', { noArraySizeCheck: true });
  const tags = parsed.value;
  const rest = {};
  for (const name of Object.keys(tags).sort()) {
    if (name !== 'BlockArray' && name !== 'LastModified') rest[name] = tags[name];
  }
  console.log(parsed.name + ' ' + JSON.stringify(rest));
  const blocks = tags.BlockArray.value;
  console.log('blocks=' + blocks.length + ' at=' + indexes.map((i) => blocks[i] & 0xFF).join(','));
  console.log('LastModified=' + (tags.LastModified ? JSON.stringify(tags.LastModified.value) : 'none'));
}

const [command, file, ...rest] = process.argv.slice(2);
if (command === 'write') {
  write(file, Number(rest[0]), Number(rest[1]), Number(rest[2]), rest[3] === 'wide');
} else {
  read(file, rest.map(Number)).catch((e) => {
    console.error(e);
    process.exit(1);
  });
}
