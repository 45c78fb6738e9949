// Writes and reads schematics (.schematic) with prismarine-nbt, a reader of
// NBT that no one here wrote.
//   node schematic.js write FILE WIDTH HEIGHT LENGTH [FLAW|KIND]...
//       a schematic with the usual tags, WorldEdit's origin and offset, an
//       entity and a tile entity, Blocks set to i % 47 and Data to i % 16.
//       KIND: alpha      Materials "Alpha", Blocks cycling through later blocks
//             datafirst  Data, and every other tag, before Blocks
//       FLAW: materials  Materials "Pocket"      add       an AddBlocks array
//             noblocks   no Blocks               nodata    no Data
//             shortdata  Data one byte short     shortblocks Blocks one byte short
//             negative   Width -WIDTH            deep      a compound nested 100 deep
//   node schematic.js read FILE INDEX...
//       every tag but Blocks and Data as JSON, in the file's order; then
//       Blocks' length and the bytes at INDEX..., and Data's length and
//       how many of its bytes are not zero
'use strict';
const nbt = require('prismarine-nbt');
const fs = require('fs');
const zlib = require('zlib');

// Later blocks (with their Data, i % 16) that the Alpha pattern cycles through.
const LaterBlocks = [1, 35, 24, 159, 98, 9, 11, 89, 23, 200, 64, 5, 17, 2];

function write(file, width, height, length, options) {
  const has = (o) => options.includes(o);
  const cells = width * height * length - (has('shortblocks') ? 1 : 0);
  const blocks = new Array(cells);
  for (let i = 0; i < cells; ++i) blocks[i] = has('alpha') ? LaterBlocks[i % LaterBlocks.length] : i % 47;
  const data = new Array(width * height * length - (has('shortdata') ? 1 : 0));
  for (let i = 0; i < data.length; ++i) data[i] = i % 16;
  let deep = nbt.comp({ Bottom: nbt.byte(1) });
  for (let i = 0; i < 100; ++i) deep = nbt.comp({ In: deep });
  const head = {
    Materials: nbt.string(has('materials') ? 'Pocket' : has('alpha') ? 'Alpha' : 'Classic'),
    Width: nbt.short(has('negative') ? -width : width),
    Height: nbt.short(height),
    Length: nbt.short(length),
  };
  const blockTag = has('noblocks') ? {} : { Blocks: nbt.byteArray(blocks.map((b) => (b > 127 ? b - 256 : b))) };
  const dataTag = has('nodata') ? {} : { Data: nbt.byteArray(data) };
  const rest = {
    Entities: nbt.list(nbt.comp([{ id: nbt.string('Pig'), Pos: nbt.list(nbt.double([1.5, 2.5, 3.5])) }])),
    TileEntities: nbt.list(nbt.comp([{ id: nbt.string('Chest'), x: nbt.int(1), y: nbt.int(2), z: nbt.int(3) }])),
    WEOriginX: nbt.int(100),
    WEOriginY: nbt.int(-5),
    WEOriginZ: nbt.int(300),
    WEOffsetX: nbt.int(-1),
    WEOffsetY: nbt.int(0),
    WEOffsetZ: nbt.int(2),
    ...(has('add') ? { AddBlocks: nbt.byteArray(new Array(Math.ceil(cells / 2)).fill(1)) } : {}),
    ...(has('deep') ? { Deep: deep } : {}),
  };
  const tags = has('datafirst') ? { ...dataTag, ...rest, ...head, ...blockTag } : { ...head, ...blockTag, ...dataTag, ...rest };
  fs.writeFileSync(file, zlib.gzipSync(nbt.writeUncompressed(nbt.comp(tags, 'Schematic'), 'big')));
}

async function read(file, indexes) {
  const { data: parsed } = await nbt.parseAs(fs.readFileSync(file), 'big', { noArraySizeCheck: true });
  const tags = parsed.value;
  const rest = [];
  for (const name of Object.keys(tags)) {
    if (name !== 'Blocks' && name !== 'Data') rest.push([name, tags[name]]);
  }
  console.log(parsed.name + ' ' + Object.keys(tags).join(',') + ' ' + JSON.stringify(rest));
  const blocks = tags.Blocks.value;
  console.log('blocks=' + blocks.length + ' at=' + indexes.map((i) => blocks[i] & 0xFF).join(','));
  const data = tags.Data ? tags.Data.value : [];
  console.log('data=' + data.length + ' nonzero=' + data.filter((d) => d !== 0).length);
}

const [command, file, ...rest] = process.argv.slice(2);
if (command === 'write') {
  write(file, Number(rest[0]), Number(rest[1]), Number(rest[2]), rest.slice(3));
} else {
  read(file, rest.map(Number)).catch((e) => {
    console.error(e);
    process.exit(1);
  });
}
